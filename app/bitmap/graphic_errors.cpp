#include "graphic_errors.h"

EFOpenError::EFOpenError(const std::string& fileName, std::string detail)
    : Exception("Cannot open file " + fileName, std::move(detail)) {}

EFCreateError::EFCreateError(const std::string& fileName, std::string detail)
    : Exception("Cannot create file " + fileName, std::move(detail)) {}

void ThrowInvalidBitmap(const std::string& sourceName, const std::string& reason) {
  throw EInvalidGraphic(kInvalidBitmapMessage,
                        sourceName.empty() ? reason : sourceName + ": " + reason);
}
