#include "open_command.h"

#include "file_kind.h"
#include "gif_bridge.h"
#include "qav_reader.h"

EInvalidQAVFile::EInvalidQAVFile(const std::string& fileName, const std::string& reason)
    : EInvalidGraphic("Cannot show QAV file " + fileName, "The file " + reason + ".") {}

void ReleasePreviousImage(TViewerState& state) {
  state.Picture.AssignBitmap(state.BlankBitmap);
  // The bitmap CurrentBitmap named went with the picture's old bitmap.
  state.CurrentBitmap = nullptr;
  state.CurrentQAV.reset();
}

namespace {

void OpenQAVFile(TViewerState& state, const std::string& path) {
  // The record is current before the file is read, whatever the reader does.
  state.CurrentQAV = std::make_unique<TQAV>();
  QAVReadReport report;
  ReadQAVFile(state.CurrentQAV.get(), path.c_str(), &report);
  state.Picture.AssignBitmap(*state.CurrentQAV->bitmap);
  state.CurrentBitmap = &state.Picture.GetBitmap();
  if (!report.shown)
    throw EInvalidQAVFile(path, report.reason);
}

void OpenGifFile(TViewerState& state, const std::string& path) {
  TBitmap& target = state.Picture.GetBitmap();
  ConvertGifThroughPicconv(path, state.ConverterPath, target, state.HandOverFolder);
  state.Picture.Changed();
  state.CurrentBitmap = &target;
}

void OpenBitmapFile(TViewerState& state, const std::string& path) {
  TBitmap& target = state.Picture.GetBitmap();
  target.LoadFromBitmapFile(path);
  state.Picture.Changed();
  state.CurrentBitmap = &target;
}

}  // namespace

bool OpenImageFile(TViewerState& state, const std::string& path) {
  state.FileKind = FileKindFromName(path);
  if (state.FileKind == fkNone)
    return false;
  ReleasePreviousImage(state);
  switch (state.FileKind) {
    case fkQAV:
      OpenQAVFile(state, path);
      break;
    case fkGIF:
      OpenGifFile(state, path);
      break;
    default:
      OpenBitmapFile(state, path);
      break;
  }
  return true;
}
