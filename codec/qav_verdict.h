#pragma once
// The outcome of one step of reading a QAV file: fine, or refused with the reason in plain
// words (no file name; the viewer adds it).

#include <string>
#include <utility>

class QavVerdict {
 public:
  static QavVerdict Fine() { return QavVerdict(); }
  static QavVerdict Refuse(std::string reason) { return QavVerdict(std::move(reason)); }

  bool IsFine() const { return reason_.empty(); }
  const std::string& Reason() const { return reason_; }

 private:
  QavVerdict() = default;
  explicit QavVerdict(std::string reason) : reason_(std::move(reason)) {}
  std::string reason_;
};

// Shorthand for a step that returns as soon as a check refuses the file.
#define QAV_RETURN_IF_REFUSED(expression) \
  do {                                    \
    QavVerdict verdict_ = (expression);   \
    if (!verdict_.IsFine())               \
      return verdict_;                    \
  } while (false)
