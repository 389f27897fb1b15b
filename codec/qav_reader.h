#pragma once
// ReadQAVFile: reads a QAV file into a freshly created TQAV record and fills its bitmap.
// Methods 0 and 1 are decoded on the calling thread, method 2 on a QAVloader thread that the
// reader starts and waits for.

#include <string>

#include "qav_record.h"

// What became of a read: shown is true only when the record's bitmap holds the decoded
// image; otherwise reason says why in plain words, without the file name.
struct QAVReadReport {
  bool shown = false;
  std::string reason;
};

// 0 when the header was accepted (also for an unknown storage method, whose picture stays
// empty), -1 when the file is refused. A refused file leaves the bitmap empty and the arrays
// null. EFOpenError "Cannot open file %s" when the file cannot be opened.
int ReadQAVFile(TQAV* image, const char* fileName);
int ReadQAVFile(TQAV* image, const char* fileName, QAVReadReport* report);
