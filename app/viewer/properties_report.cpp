#include "properties_report.h"

namespace {

const TBitmap* ShownBitmap(const TViewerState& state) {
  if (state.CurrentBitmap != nullptr)
    return state.CurrentBitmap;
  return state.Picture.PeekBitmap();
}

}  // namespace

std::string PixelFormatText(int ordinal) {
  switch (ordinal) {
    case pf1bit:
      return "1 bit, monochrome";
    case pf4bit:
      return "4 bit, palette, 16 color";
    case pf8bit:
      return "8 bit, palette, 256 color";
    case pf15bit:
      return "15 bit, RGB HiColor";
    case pf16bit:
      return "16 bit, RGB HiColor";
    case pf24bit:
      return "24 bit, RGB TrueColor";
    case pf32bit:
      return "32 bit, RGB TrueColor";
    default:
      return "Unknown";
  }
}

std::vector<std::string> PropertiesReportLines(const TViewerState& state) {
  const std::string rule(30, '-');
  const TBitmap* shown = ShownBitmap(state);
  const int width = shown != nullptr ? shown->GetWidth() : 0;
  const int height = shown != nullptr ? shown->GetHeight() : 0;
  const int format = shown != nullptr ? shown->GetPixelFormat() : pfDevice;
  return {
      rule,
      state.CurrentQAV ? "Memory storage: QAV class 1   " : "Memory storage: Windows Bitmap",
      rule,
      "X size (pixels):  " + std::to_string(width),
      "Y size         :  " + std::to_string(height),
      "Format         :  " + PixelFormatText(format),
  };
}
