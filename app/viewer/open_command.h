#pragma once
// File > Open after the dialog: the name tests, the release of the previous image and the
// loaders of the three kinds of file.

#include <string>

#include "graphic_errors.h"
#include "viewer_state.h"

#include "qav_status.h"

// A QAV file that was read but cannot be shown: "Cannot show QAV file %s", with the sentence
// that says why as the detail. The record stays current with its (empty) bitmap.
class EInvalidQAVFile : public EInvalidGraphic {
 public:
  EInvalidQAVFile(const std::string& fileName, const std::string& sentence);
};

// True for the faults of reaching the file (opening, kind of file, size, reading) rather than
// of its contents.
bool IsFileAccessFault(QavCode code);
// Raises what a refused QAV file shows: EFOpenError "Cannot open file %s" for a file that
// cannot be reached, EInvalidQAVFile otherwise; the detail is the status's sentence.
[[noreturn]] void ThrowQavFault(const std::string& path, const QavStatus& status);

// Gives the picture the blank bitmap and destroys the current QAV record with its arrays.
void ReleasePreviousImage(TViewerState& state);

// Opens the file named by a full path. Returns false, changing nothing, when the name matches
// no kind of file. Errors of the loaders end the command where they arise: the previous image
// is then already released, and for a QAV file the new record is already current.
bool OpenImageFile(TViewerState& state, const std::string& path);
