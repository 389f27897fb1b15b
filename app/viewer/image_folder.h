#pragma once
// The pictures Go > Next Image and its siblings walk: the files of the current file's folder
// that File > Open would recognise, in natural order, or the list given on the command line.

#include <optional>
#include <string>
#include <vector>

// Natural order: runs of digits compare by their value, so "a2" comes before "a10"; other
// characters compare without regard to case, and names equal that way by their bytes.
bool NaturalLess(const std::string& left, const std::string& right);

// The full paths of the regular files in a folder whose path passes the name tests of
// File > Open, in natural order of their names. An unreadable folder gives an empty list.
std::vector<std::string> RecognisedFilesInFolder(const std::string& folder);

enum class TGoStep { First, Previous, Next, Last };

// The path a step leads to from `current` in `list`; none at either end, or when `current` is
// not in the list (then First and Last still lead to the ends). A step to the file already
// shown leads nowhere.
std::optional<std::string> StepThrough(const std::vector<std::string>& list,
                                       const std::string& current, TGoStep step);
