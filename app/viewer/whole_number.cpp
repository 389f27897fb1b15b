#include "whole_number.h"

#include <cerrno>
#include <cstdlib>

int WholeNumberWithin(const std::string& text, int minimum, int maximum) {
  const char* begin = text.c_str();
  while (*begin == ' ')
    ++begin;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin)
    return minimum;
  while (*end == ' ')
    ++end;
  if (*end != '\0')
    return minimum;
  // Out of the range of long long: strtoll gives the nearest end, which clamps correctly.
  if (value < minimum)
    return minimum;
  if (value > maximum)
    return maximum;
  return static_cast<int>(value);
}
