#pragma once
// The one outcome every codec step returns (never throws): a code that says what kind of fault
// stopped the step, and a detail with the facts of this file (sizes, offsets, the part that is
// damaged). The words a person reads are made from both at the viewer's edge.

#include <iosfwd>
#include <string>
#include <utility>

enum class QavCode {
  Ok,
  // The file itself.
  CannotOpen,      // detail: the system's reason
  NotRegularFile,  // detail: what the name is instead ("folder", "named pipe", ...)
  FileTooLarge,    // detail: the file's size in bytes
  ReadFailed,      // detail: the system's reason
  // The headers.
  NotQav,              // the magic is not "QAV"
  Truncated,           // detail: where the data ends ("4 bytes, inside the 10-byte header")
  NewerVersion,        // detail: the stored version ("0x32")
  UnknownMethod,       // detail: the stored storage method
  NoPixels,            // detail: the size ("0 x 5")
  OverMemoryLimit,     // detail: what would have to be held, against the limit
  InconsistentHeader,  // detail: which fields contradict each other
  TooMuchWork,         // detail: the passes and pixels a decode would take
  // The coded data.
  RunPastEnd,        // a run-length run reaches past the stored bytes
  ExpansionTooLong,  // a run-length expansion does not fit where it must go
  ExpansionShort,    // coded data gives fewer bytes than the picture needs
  BadCountTable,     // a Huffman count table does not expand to its 512 bytes
  EmptyCountTable,   // a Huffman count table holds no symbol
  BitStreamShort,    // a Huffman bit stream ends inside a code
  BadTransform,      // detail: the block and its transform code
  BadDomainIndex,    // a domain index names no domain block
  BadFractalSize,    // the fractal image cannot be padded to whole blocks within the format
  ShortArrays,       // the parameter arrays hold fewer blocks than the image
  BadIterations,     // detail: the pass count asked for
  // The re-decode.
  NoFractalParameters,  // the record holds no fractal picture to decode again
  OutOfMemory,          // the last code
};

class QavStatus {
 public:
  QavStatus(QavCode code, std::string detail) : code_(code), detail_(std::move(detail)) {}
  explicit QavStatus(QavCode code) : code_(code) {}
  static QavStatus Ok() { return QavStatus(QavCode::Ok); }

  bool IsOk() const { return code_ == QavCode::Ok; }
  QavCode Code() const { return code_; }
  const std::string& Detail() const { return detail_; }

 private:
  QavCode code_;
  std::string detail_;
};

// A status is compared with the code it carries: `status == QavCode::Ok`.
inline bool operator==(const QavStatus& status, QavCode code) {
  return status.Code() == code;
}

// The code's name as written in the source ("Truncated"), for test output and logs.
const char* QavCodeName(QavCode code);

// "Truncated (4 bytes, inside the 10-byte header)": how test output shows a status.
void PrintTo(const QavStatus& status, std::ostream* out);

// Shorthand for a step that returns as soon as a check fails.
#define QAV_RETURN_IF_FAILED(expression) \
  do {                                   \
    QavStatus status_ = (expression);    \
    if (!status_.IsOk())                 \
      return status_;                    \
  } while (false)
