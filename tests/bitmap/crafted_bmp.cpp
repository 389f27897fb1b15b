#include "crafted_bmp.h"

#include "bitmap.h"
#include "graphic_errors.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> CraftedBmp::Bytes() const {
  std::vector<uint8_t> header;
  Put32(header, headerBytes);
  if (headerBytes == 12) {
    Put16(header, static_cast<uint32_t>(width));
    Put16(header, static_cast<uint32_t>(height));
    Put16(header, planes);
    Put16(header, bitsPerPixel);
  } else {
    Put32(header, static_cast<uint32_t>(width));
    Put32(header, static_cast<uint32_t>(height));
    Put16(header, planes);
    Put16(header, bitsPerPixel);
    Put32(header, compression);
    Put32(header, static_cast<uint32_t>(pixels.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, coloursUsed);
    Put32(header, 0);
  }
  const bool masksInside = headerBytes >= 52;
  for (size_t i = 0; masksInside && i < masks.size(); ++i)
    Put32(header, masks[i]);
  header.resize(std::max<size_t>(header.size(), headerBytes), 0);
  header.resize(headerBytes);
  if (!masksInside)
    for (uint32_t mask : masks)
      Put32(header, mask);
  for (uint32_t colour : colourTable) {
    header.push_back(static_cast<uint8_t>(colour));
    header.push_back(static_cast<uint8_t>(colour >> 8));
    header.push_back(static_cast<uint8_t>(colour >> 16));
    if (headerBytes != 12)
      header.push_back(0);
  }
  const auto naturalOffset = static_cast<uint32_t>(14 + header.size());
  std::vector<uint8_t> file{'B', 'M'};
  Put32(file, static_cast<uint32_t>(naturalOffset + pixels.size()));
  Put32(file, 0);
  Put32(file, pixelOffset.value_or(naturalOffset));
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

std::string RefusalOf(const std::vector<uint8_t>& bytes, TBitmap& into) {
  try {
    into.LoadFromBitmapBytes(bytes.data(), bytes.size(), "crafted.bmp");
  } catch (const EInvalidGraphic& error) {
    return error.Detail();
  }
  return {};
}

std::string RefusalOf(const std::vector<uint8_t>& bytes) {
  TBitmap bitmap;
  return RefusalOf(bytes, bitmap);
}
