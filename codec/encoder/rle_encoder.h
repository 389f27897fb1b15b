#pragma once
// Run-length encoder for tests and tools: the inverse of RleExpand.

#include <cstddef>
#include <cstdint>
#include <vector>

// Codes data as repeat runs where three or more equal bytes follow one another and as literal
// runs elsewhere, so that RleExpand of the result gives data back.
std::vector<uint8_t> RleEncode(const uint8_t* data, size_t size);
