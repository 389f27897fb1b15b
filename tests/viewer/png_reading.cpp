#include "png_reading.h"

#include <spng.h>

#include <memory>
#include <stdexcept>

namespace {

uint32_t BigEndian32(const uint8_t* bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
         bytes[3];
}

struct DecoderDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

void Check(int code) {
  if (code != 0)
    throw std::runtime_error(spng_strerror(code));
}

}  // namespace

std::vector<std::string> PngChunkTypes(const std::vector<uint8_t>& file) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::string> types;
  if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin()))
    return types;
  // Length, type, data, CRC.
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = BigEndian32(&file[at]);
    types.emplace_back(reinterpret_cast<const char*>(&file[at + 4]), 4);
    at += 12 + static_cast<size_t>(length);
  }
  return types;
}

DecodedPng DecodePng(const std::vector<uint8_t>& file) {
  std::unique_ptr<spng_ctx, DecoderDeleter> context(spng_ctx_new(0));
  Check(spng_set_png_buffer(context.get(), file.data(), file.size()));
  spng_ihdr header{};
  Check(spng_get_ihdr(context.get(), &header));
  DecodedPng png;
  png.width = header.width;
  png.height = header.height;
  png.bitDepth = header.bit_depth;
  png.colourType = header.color_type;
  if (header.color_type == SPNG_COLOR_TYPE_INDEXED) {
    spng_plte palette{};
    Check(spng_get_plte(context.get(), &palette));
    for (uint32_t i = 0; i < palette.n_entries; ++i) {
      const spng_plte_entry& entry = palette.entries[i];
      png.palette.push_back((uint32_t{entry.red} << 16) | (uint32_t{entry.green} << 8) |
                            entry.blue);
    }
  }
  size_t size = 0;
  Check(spng_decoded_image_size(context.get(), SPNG_FMT_PNG, &size));
  png.rows.resize(size);
  Check(spng_decode_image(context.get(), png.rows.data(), size, SPNG_FMT_PNG, 0));
  png.rowBytes = header.height == 0 ? 0 : size / header.height;
  return png;
}
