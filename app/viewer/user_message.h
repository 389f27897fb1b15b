#pragma once
#include <string>

#include "graphic_errors.h"

// The whole text of an error for a line-oriented front end: the fixed message, then the
// detail (file and reason) on a line of its own when there is one.
inline std::string FullMessage(const Exception& error) {
  if (error.Detail().empty())
    return error.what();
  return std::string(error.what()) + "\n" + error.Detail();
}
