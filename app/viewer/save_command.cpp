#include "save_command.h"

void SaveImageFile(const TViewerState& state, const std::string& path) {
  if (state.CurrentBitmap == nullptr)
    throw ENoPictureToSave();
  state.CurrentBitmap->SaveToBitmapFile(path);
}
