#pragma once
// Effects > Reiterate: the current fractal image decoded again with a chosen number of passes.

#include <string>

#include "qav_record.h"

inline constexpr int kMinIterations = 1;
inline constexpr int kMaxIterations = 32;
inline constexpr int kOfferedIterations = 8;

// The count the iteration spin box yields for its text: a whole number is brought to the
// nearest of 1..32, anything else reads as 1.
int IterationCountFromText(const std::string& text);

// Decodes the record's fractal parameters again from the grey start with count passes and
// writes the rows into the record's bitmap (decoded row 0 at the bottom). A record without
// fractal parameters, a bitmap that is not the 24-bit image of the record's size, or a decode
// that cannot get its memory leave the bitmap as it was. Returns whether the rows were written.
bool Reiterate(TQAV* image, int count);
