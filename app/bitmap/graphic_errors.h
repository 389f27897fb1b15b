#pragma once
// The error classes of file and bitmap operations. Each carries its finished, user-facing
// message; the application shows it in an error box captioned with the application title.

#include <stdexcept>
#include <string>
#include <utility>

// Base of every error the viewer reports to the user. what() is the fixed message of the error;
// Detail() may add the file and the exact reason ("pal8.bmp: the pixel data ends after 12 of
// 64 rows"), which the error box shows below the message.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message, std::string detail = {})
      : std::runtime_error(message), detail_(std::move(detail)) {}
  const std::string& Detail() const { return detail_; }

 private:
  std::string detail_;
};

// A file to read cannot be opened: "Cannot open file %s".
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const std::string& fileName, std::string detail = {});
};

// A file to write cannot be created: "Cannot create file %s".
class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& fileName, std::string detail = {});
};

// A picture that cannot be made: "Bitmap image is not valid", "Invalid pixel format", ...
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// An operation on a bitmap that its state does not allow: "Scan line index out of range".
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

// The fixed messages.
inline constexpr const char* kInvalidBitmapMessage = "Bitmap image is not valid";
inline constexpr const char* kInvalidPixelFormatMessage = "Invalid pixel format";
inline constexpr const char* kScanLineOutOfRangeMessage = "Scan line index out of range";

// Raises EInvalidGraphic "Bitmap image is not valid" with the detail "<sourceName>: <reason>"
// (just the reason when there is no source name).
[[noreturn]] void ThrowInvalidBitmap(const std::string& sourceName, const std::string& reason);
