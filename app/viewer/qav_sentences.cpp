#include "qav_sentences.h"

#include <cctype>
#include <string_view>

namespace {

// "{}" marks where the detail goes.
struct SentenceEntry {
  QavCode code;
  std::string_view pattern;
};

constexpr SentenceEntry kSentences[] = {
    {QavCode::Ok, ""},
    {QavCode::CannotOpen, "The file cannot be opened: {}."},
    {QavCode::NotRegularFile, "It is not a regular file but a {}."},
    {QavCode::FileTooLarge, "The file is too large: it has {} bytes, more than any picture takes."},
    {QavCode::ReadFailed, "The file cannot be read: {}."},
    {QavCode::NotQav, "The file is not a QAV file: it does not start with \"QAV\"."},
    {QavCode::Truncated, "The file is cut short: it ends after {}."},
    {QavCode::NewerVersion,
     "The file was written by a newer version ({}); this viewer reads versions up to 0x31."},
    {QavCode::UnknownMethod, "The file uses storage method {}, which this viewer does not know."},
    {QavCode::NoPixels, "The picture has no pixels: its size is {}."},
    {QavCode::OverMemoryLimit, "The picture is too large for this viewer: it needs {}."},
    {QavCode::InconsistentHeader, "The file's header contradicts itself: {}."},
    {QavCode::TooMuchWork, "The picture would take too long to decode: it asks for {}."},
    {QavCode::RunPastEnd, "The file is damaged: in {}, a run-length run reaches past its end."},
    {QavCode::ExpansionTooLong,
     "The file is damaged: {} expands to more bytes than the picture can take."},
    {QavCode::ExpansionShort, "The file is damaged: {}."},
    {QavCode::BadCountTable, "The file is damaged: the code table of {} is malformed."},
    {QavCode::EmptyCountTable, "The file is damaged: the code table of {} holds no symbol."},
    {QavCode::BitStreamShort, "The file is damaged: {} ends in the middle of a code."},
    {QavCode::BadTransform, "The file is damaged: {}, but only transforms 0 to 8 exist."},
    {QavCode::BadDomainIndex,
     "The file is damaged: a block takes its pattern from a place outside the picture."},
    {QavCode::BadFractalSize, "The picture's size {} cannot be divided into whole fractal blocks."},
    {QavCode::ShortArrays, "The picture has more blocks than its parameters describe."},
    {QavCode::BadIterations, "The number of decoding passes ({}) is not allowed."},
    {QavCode::NoFractalParameters,
     "The picture is not a fractal picture, so it cannot be decoded again."},
    {QavCode::OutOfMemory, "There is not enough memory to decode the picture."},
};

std::string WithDetail(std::string_view pattern, std::string detail) {
  const size_t slot = pattern.find("{}");
  if (slot == std::string_view::npos)
    return std::string(pattern);
  // System messages start with a capital ("No such file or directory"); inside a sentence
  // they read on in lower case.
  if (slot > 0 && !detail.empty() && pattern[slot - 1] == ' ')
    detail[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(detail[0])));
  return std::string(pattern.substr(0, slot)) + detail + std::string(pattern.substr(slot + 2));
}

}  // namespace

std::string QavSentence(const QavStatus& status) {
  for (const SentenceEntry& entry : kSentences) {
    if (entry.code == status.Code())
      return WithDetail(entry.pattern, status.Detail());
  }
  return "The file cannot be read.";
}
