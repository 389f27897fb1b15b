#include "open_command.h"

#include "bitmap_limits.h"
#include "file_kind.h"
#include "gif_bridge.h"
#include "qav_reader.h"
#include "qav_sentences.h"
#include "regular_file.h"

EInvalidQAVFile::EInvalidQAVFile(const std::string& fileName, const std::string& sentence)
    : EInvalidGraphic("Cannot show QAV file " + fileName, sentence) {}

bool IsFileAccessFault(QavCode code) {
  return code == QavCode::CannotOpen || code == QavCode::NotRegularFile ||
         code == QavCode::FileTooLarge || code == QavCode::ReadFailed;
}

void ThrowQavFault(const std::string& path, const QavStatus& status) {
  if (IsFileAccessFault(status.Code()))
    throw EFOpenError(path, QavSentence(status));
  throw EInvalidQAVFile(path, QavSentence(status));
}

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
  const QavStatus status = ReadQAVFileChecked(state.CurrentQAV.get(), path);
  state.Picture.AssignBitmap(*state.CurrentQAV->bitmap);
  // A file that is not shown leaves nothing to save: Save then says so instead of writing the
  // empty bitmap over the user's file.
  if (!status.IsOk())
    ThrowQavFault(path, status);
  state.CurrentBitmap = &state.Picture.GetBitmap();
}

void OpenGifFile(TViewerState& state, const std::string& path) {
  TBitmap& target = state.Picture.GetBitmap();
  ConvertGifThroughPicconv(path, state.ConverterPath, target, state.HandOverFolder);
  state.Picture.Changed();
  state.CurrentBitmap = &target;
}

// The file is read here rather than by the bitmap surface, so that a name that cannot be read
// is told of in the same sentences as a QAV or GIF file.
void OpenBitmapFile(TViewerState& state, const std::string& path) {
  FileBytes file;
  const QavStatus read = ReadRegularFile(path, kMaxImageFileBytes, &file);
  if (read.Code() == QavCode::FileTooLarge)
    throw EInvalidGraphic(kInvalidBitmapMessage, QavSentence(read));
  if (!read.IsOk())
    throw EFOpenError(path, QavSentence(read));
  TBitmap& target = state.Picture.GetBitmap();
  target.LoadFromBitmapBytes(file.data.get(), file.size, path);
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
