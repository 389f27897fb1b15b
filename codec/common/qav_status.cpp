#include "qav_status.h"

#include <ostream>

const char* QavCodeName(QavCode code) {
  switch (code) {
    case QavCode::Ok:
      return "Ok";
    case QavCode::CannotOpen:
      return "CannotOpen";
    case QavCode::NotRegularFile:
      return "NotRegularFile";
    case QavCode::FileTooLarge:
      return "FileTooLarge";
    case QavCode::ReadFailed:
      return "ReadFailed";
    case QavCode::NotQav:
      return "NotQav";
    case QavCode::Truncated:
      return "Truncated";
    case QavCode::NewerVersion:
      return "NewerVersion";
    case QavCode::UnknownMethod:
      return "UnknownMethod";
    case QavCode::NoPixels:
      return "NoPixels";
    case QavCode::OverMemoryLimit:
      return "OverMemoryLimit";
    case QavCode::InconsistentHeader:
      return "InconsistentHeader";
    case QavCode::TooMuchWork:
      return "TooMuchWork";
    case QavCode::RunPastEnd:
      return "RunPastEnd";
    case QavCode::ExpansionTooLong:
      return "ExpansionTooLong";
    case QavCode::ExpansionShort:
      return "ExpansionShort";
    case QavCode::BadCountTable:
      return "BadCountTable";
    case QavCode::EmptyCountTable:
      return "EmptyCountTable";
    case QavCode::BitStreamShort:
      return "BitStreamShort";
    case QavCode::BadTransform:
      return "BadTransform";
    case QavCode::BadDomainIndex:
      return "BadDomainIndex";
    case QavCode::BadFractalSize:
      return "BadFractalSize";
    case QavCode::ShortArrays:
      return "ShortArrays";
    case QavCode::BadIterations:
      return "BadIterations";
    case QavCode::NoFractalParameters:
      return "NoFractalParameters";
    case QavCode::OutOfMemory:
      return "OutOfMemory";
  }
  return "Unknown";
}

void PrintTo(const QavStatus& status, std::ostream* out) {
  *out << QavCodeName(status.Code());
  if (!status.Detail().empty())
    *out << " (" << status.Detail() << ")";
}
