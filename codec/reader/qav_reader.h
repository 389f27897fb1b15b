#pragma once
// The QAV reader: reads a QAV file into a freshly created TQAV record and fills its bitmap.
// Methods 0 and 1 are decoded on the calling thread, method 2 on a QAVloader thread that the
// reader starts and waits for. A file that is not shown leaves the record's bitmap empty and
// its arrays null.

#include <cstdint>
#include <span>
#include <string>

#include "qav_record.h"
#include "qav_status.h"

// Decodes a whole QAV file held in memory. UnknownMethod when the header was accepted but its
// storage method is not one this reader knows (the picture stays empty).
QavStatus ReadQAVBytes(TQAV* image, std::span<const uint8_t> bytes);

// What the headers of a QAV file say, for a caller that wants to know before it decodes.
struct QavImageInfo {
  int width = 0;
  int height = 0;
  int method = 0;        // storage method: 0 run-length, 1 Huffman, 2 fractal
  int bitsPerPixel = 0;  // 1 or 8 for palette images, 24 for fractal ones
};

// Reads only the headers, with the same checks as ReadQAVBytes, and decodes no pixel. info is
// filled as far as the headers were read.
QavStatus ReadQAVHeaderBytes(std::span<const uint8_t> bytes, QavImageInfo* info);

// The file form: reads the named regular file whole (CannotOpen, NotRegularFile, FileTooLarge,
// ReadFailed) and decodes it with ReadQAVBytes.
QavStatus ReadQAVFileChecked(TQAV* image, const std::string& path);

// The system's entry point: 0 when the header was accepted (also for an unknown storage method,
// whose picture stays empty), -1 when the file is refused or cannot be read.
int ReadQAVFile(TQAV* image, const char* fileName);
