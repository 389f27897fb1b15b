#include "image_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "file_kind.h"
#include "viewer_state.h"

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The run of digits starting at `position`, without its leading zeros.
std::string_view DigitRun(const std::string& text, size_t* position) {
  size_t start = *position;
  while (*position < text.size() && IsDigit(text[*position]))
    ++*position;
  while (start + 1 < *position && text[start] == '0')
    ++start;
  return std::string_view(text).substr(start, *position - start);
}

// <0, 0 or >0 as the natural order puts left before, level with, or after right.
int CompareNaturally(const std::string& left, const std::string& right) {
  size_t l = 0;
  size_t r = 0;
  while (l < left.size() && r < right.size()) {
    if (IsDigit(left[l]) && IsDigit(right[r])) {
      const std::string_view leftNumber = DigitRun(left, &l);
      const std::string_view rightNumber = DigitRun(right, &r);
      // Without leading zeros the longer run is the larger number.
      if (leftNumber.size() != rightNumber.size())
        return leftNumber.size() < rightNumber.size() ? -1 : 1;
      if (const int order = leftNumber.compare(rightNumber); order != 0)
        return order;
      continue;
    }
    const int leftChar = std::tolower(static_cast<unsigned char>(left[l]));
    const int rightChar = std::tolower(static_cast<unsigned char>(right[r]));
    if (leftChar != rightChar)
      return leftChar - rightChar;
    ++l;
    ++r;
  }
  return static_cast<int>(left.size() - l) - static_cast<int>(right.size() - r);
}

}  // namespace

bool NaturalLess(const std::string& left, const std::string& right) {
  const int order = CompareNaturally(left, right);
  return order != 0 ? order < 0 : left < right;
}

std::vector<std::string> RecognisedFilesInFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    std::error_code typeError;
    if (!entries->is_regular_file(typeError))
      continue;
    const std::string name = entries->path().filename().string();
    if (FileKindFromName((fs::path(folder) / name).string()) != fkNone)
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<std::string> paths;
  paths.reserve(names.size());
  for (const std::string& name : names)
    paths.push_back((fs::path(folder) / name).string());
  return paths;
}

std::optional<std::string> StepThrough(const std::vector<std::string>& list,
                                       const std::string& current, TGoStep step) {
  if (list.empty())
    return std::nullopt;
  if (step == TGoStep::First || step == TGoStep::Last) {
    const std::string& end = step == TGoStep::First ? list.front() : list.back();
    return end == current ? std::nullopt : std::optional(end);
  }
  const auto found = std::find(list.begin(), list.end(), current);
  if (found == list.end())
    return std::nullopt;
  if (step == TGoStep::Next)
    return found + 1 == list.end() ? std::nullopt : std::optional(*(found + 1));
  return found == list.begin() ? std::nullopt : std::optional(*(found - 1));
}
