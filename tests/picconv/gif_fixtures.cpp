#include "gif_fixtures.h"

#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

int AppendToVector(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

// giflib wants tables of a power-of-two size; the padding entries are black.
ColorMapObject* MakeTable(const std::vector<GifRgb>& colours) {
  if (colours.empty()) {
    return nullptr;
  }
  int size = 2;
  while (size < static_cast<int>(colours.size())) {
    size *= 2;
  }
  std::vector<GifColorType> entries(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < colours.size(); ++i) {
    entries[i] = {colours[i].red, colours[i].green, colours[i].blue};
  }
  return GifMakeMapObject(size, entries.data());
}

void Check(bool ok, const char* step) {
  if (!ok) {
    throw std::runtime_error(std::string("writing the test GIF failed at ") + step);
  }
}

void PutFrame(GifFileType* gif, const GifFrameLayout& frame) {
  if (frame.transparentIndex >= 0) {
    GraphicsControlBlock control{};
    control.TransparentColor = frame.transparentIndex;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
              GIF_OK,
          "graphics control");
  }
  ColorMapObject* local = MakeTable(frame.localTable);
  const int put = EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height,
                                   frame.interlaced, local);
  GifFreeMapObject(local);
  Check(put == GIF_OK, "image descriptor");
  std::vector<uint8_t> line(static_cast<size_t>(frame.width));
  for (int row : GifStoredRowOrder(frame.height, frame.interlaced)) {
    std::copy_n(frame.pixels.begin() + static_cast<ptrdiff_t>(row) * frame.width, frame.width,
                line.begin());
    Check(EGifPutLine(gif, line.data(), frame.width) == GIF_OK, "pixels");
  }
}

}  // namespace

std::vector<GifRgb> DistinctColours(int n, int seed) {
  std::vector<GifRgb> colours;
  for (int i = 0; i < n; ++i) {
    colours.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>((i * 37 + seed) & 0xFF),
                       static_cast<uint8_t>((255 - i + seed * 11) & 0xFF)});
  }
  return colours;
}

GifFrameLayout PatternFrame(int left, int top, int w, int h, int colours, int seed) {
  GifFrameLayout frame;
  frame.left = left;
  frame.top = top;
  frame.width = w;
  frame.height = h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      frame.pixels.push_back(static_cast<uint8_t>((x * 7 + y * 3 + seed) % colours));
    }
  }
  return frame;
}

std::vector<uint8_t> EncodeGif(const GifFileLayout& layout) {
  std::vector<uint8_t> bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToVector, &error);
  Check(gif != nullptr, "open");
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MakeTable(layout.globalTable);
  int depth = 8;
  if (global != nullptr) {
    depth = global->BitsPerPixel;
  }
  const int put = EGifPutScreenDesc(gif, layout.screenWidth, layout.screenHeight, depth,
                                    layout.backgroundIndex, global);
  GifFreeMapObject(global);
  Check(put == GIF_OK, "screen descriptor");
  for (const GifFrameLayout& frame : layout.frames) {
    PutFrame(gif, frame);
  }
  Check(EGifCloseFile(gif, &error) == GIF_OK, "close");
  return bytes;
}

GifRgb GifBackgroundColour(const std::vector<uint8_t>& gif) {
  // The screen descriptor's flags at byte 10, the background index at 11, the global table
  // from byte 13.
  const bool hasTable = gif.size() > 11 && (gif[10] & 0x80) != 0;
  const size_t entries = size_t{2} << (gif[10] & 7);
  const size_t index = gif.size() > 11 ? gif[11] : 0;
  if (!hasTable || index >= entries || gif.size() < 13 + entries * 3) {
    return {};
  }
  const uint8_t* colour = gif.data() + 13 + index * 3;
  return {colour[0], colour[1], colour[2]};
}

std::vector<uint8_t> ImageMagickFrameRgba(const std::filesystem::path& gifFile, int frame) {
  // Coalescing frames 0 to frame gives each composed with those before it; all but the last
  // are dropped. Coalescing fills what the first frame leaves uncovered with opaque white, so
  // that one is laid on a transparent screen by flattening alone.
  const std::string frames =
      frame == 0 ? "[0]' " : "[0-" + std::to_string(frame) + "]' -coalesce -delete 0--2 ";
  const std::string command = "/usr/bin/convert '" + gifFile.string() + frames +
                              "-background none -flatten -depth 8 rgba:-";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return {};
  }
  std::vector<uint8_t> rgba;
  uint8_t chunk[1 << 14];
  size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    rgba.insert(rgba.end(), chunk, chunk + count);
  }
  if (pclose(pipe) != 0) {
    return {};
  }
  return rgba;
}

void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  Check(static_cast<bool>(out), "saving");
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ScratchWorkingDirectory::ScratchWorkingDirectory() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "picconv-test-XXXXXX").string();
  Check(mkdtemp(pattern.data()) != nullptr, "scratch directory");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

ScratchWorkingDirectory::~ScratchWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}
