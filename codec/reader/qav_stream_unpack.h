#pragma once
// Unpacking of the run-length and Huffman coded streams of a QAV file into buffers whose
// sizes the caller has checked.

#include <cstddef>
#include <cstdint>

#include "huffman.h"
#include "qav_status.h"

// Expands `storedLength` run-length coded bytes into `capacity` bytes of destination. Ok when
// the stream is well formed, fits, and gives at least `needed` bytes; *produced gets the count.
QavStatus ExpandRleStream(const char* streamName, const uint8_t* source, size_t storedLength,
                          uint8_t* destination, size_t needed, size_t capacity, size_t* produced);

// Decodes `symbolCount` bytes from a Huffman stream: the count table block of tableLength bytes
// and the bit stream of bitStreamLength bytes.
QavStatus DecodeHuffmanStream(HuffmanDecoder& decoder, const char* streamName, const uint8_t* table,
                              size_t tableLength, const uint8_t* bitStream, size_t bitStreamLength,
                              uint8_t* destination, size_t symbolCount);
