#include "status_text.h"

#include <vector>

#include "pixel_colours.h"
#include "properties_report.h"

namespace {

constexpr const char* kGap = "  ";

std::string RgbText(uint32_t xrgb) {
  return "RGB " + std::to_string(xrgb >> 16 & 0xFF) + ", " + std::to_string(xrgb >> 8 & 0xFF) +
         ", " + std::to_string(xrgb & 0xFF);
}

bool IsPalettePicture(const TBitmap& bitmap) {
  return bitmap.BitsPerPixel() <= 8;
}

}  // namespace

std::string PictureStatusText(const std::string& fileName, const TBitmap* bitmap,
                              const TZoom& zoom) {
  if (bitmap == nullptr || bitmap->Empty())
    return fileName;
  std::string text = fileName.empty() ? std::string() : fileName + kGap;
  text += std::to_string(bitmap->GetWidth()) + " x " + std::to_string(bitmap->GetHeight()) + ", " +
          PixelFormatText(bitmap->GetPixelFormat());
  return text + kGap + zoom.PercentText();
}

std::string PointerStatusText(const TBitmap& bitmap, int x, int y) {
  if (x < 0 || y < 0 || x >= bitmap.GetWidth() || y >= bitmap.GetHeight())
    return std::string();
  std::vector<uint32_t> colours(static_cast<size_t>(bitmap.GetWidth()));
  ConvertRowToXrgb32(bitmap, y, colours.data());
  // Appended, not prefixed: g++ 12 at -O3 warns falsely about a literal + string temporary.
  std::string text = "(";
  text += std::to_string(x) + ", " + std::to_string(y) + ")" + kGap +
          RgbText(colours[static_cast<size_t>(x)]);
  if (IsPalettePicture(bitmap))
    text += kGap + std::string("index ") +
            std::to_string(PaletteIndexInRow(bitmap.RowData(y), x, bitmap.BitsPerPixel()));
  return text;
}
