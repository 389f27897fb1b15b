#pragma once
// File > Save after the dialog.

#include <string>

#include "graphic_errors.h"
#include "viewer_state.h"

// Save before any picture was loaded, or after an Open that failed: "There is no picture to
// save". Writing the blank picture would silently leave an empty file under the chosen name.
class ENoPictureToSave : public Exception {
 public:
  ENoPictureToSave() : Exception("There is no picture to save") {}
};

// Writes CurrentBitmap as a Windows bitmap file under exactly the given name: no extension is
// added and an existing file is replaced.
void SaveImageFile(const TViewerState& state, const std::string& path);
