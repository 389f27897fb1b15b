#pragma once
#include <string>

// The whole number a text stands for, brought to the nearest of minimum..maximum; text that
// is not a whole number (blanks around it allowed) reads as minimum.
int WholeNumberWithin(const std::string& text, int minimum, int maximum);
