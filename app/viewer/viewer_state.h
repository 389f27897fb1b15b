#pragma once
// The state of the viewer that every command reads and changes: the record of the last QAV
// file opened, the bitmap shown, and the empty bitmap that clears the picture. The main
// window inherits it so the names stay those of the window; qavconv holds one of its own.

#include <memory>
#include <string>

#include "bitmap.h"
#include "picture.h"
#include "qav_record.h"

enum TFileKind : int { fkNone = 0, fkQAV = 1, fkGIF = 2, fkBitmap = 3 };

struct TViewerState {
  // Made at start-up, never changed; every Open that recognises its file shows it first.
  TBitmap BlankBitmap;
  // The record of the last QAV file opened; released by the next Open that recognises a file.
  std::unique_ptr<TQAV> CurrentQAV;
  // The bitmap that the picture held when the last load completed; owned by the picture.
  TBitmap* CurrentBitmap = nullptr;
  // The kind of file Open worked out from the name.
  int FileKind = fkNone;
  // The picture of the image control.
  TPicture Picture;
  // The GIF converter program; set by the front end.
  std::string ConverterPath;
  // Where GIF opening hands files to the converter; empty: the working directory.
  std::string HandOverFolder;
};
