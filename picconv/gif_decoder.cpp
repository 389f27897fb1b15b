#include "gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Screen cells hold a colour index below 256, or this value for "background".
constexpr uint16_t kBackgroundCell = 256;

// The bytes giflib reads from; a read past the end delivers only what is left, which giflib
// reports as a failed read.
struct ByteCursor {
  const uint8_t* data;
  size_t size;
  size_t position;
};

int ReadFromCursor(GifFileType* gif, GifByteType* destination, int wanted) {
  auto* cursor = static_cast<ByteCursor*>(gif->UserData);
  if (wanted <= 0) {
    return 0;
  }
  const size_t available = cursor->size - cursor->position;
  const size_t count = std::min(available, static_cast<size_t>(wanted));
  if (count > 0) {
    std::memcpy(destination, cursor->data + cursor->position, count);
  }
  cursor->position += count;
  return static_cast<int>(count);
}

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void FailWithGiflibError(int giflibError, const char* during) {
  GifDecodeStatus status = GifDecodeStatus::kCorrupt;
  switch (giflibError) {
    case D_GIF_ERR_NOT_GIF_FILE:
    case D_GIF_ERR_NO_SCRN_DSCR:
      status = GifDecodeStatus::kNotGif;
      break;
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_EOF_TOO_SOON:
      status = GifDecodeStatus::kTruncated;
      break;
    default:
      break;
  }
  if (status == GifDecodeStatus::kNotGif) {
    throw GifDecodeError(status, "not a GIF file");
  }
  if (status == GifDecodeStatus::kTruncated) {
    throw GifDecodeError(status, std::string("the file ends early (") + during + ")");
  }
  const char* reason = GifErrorString(giflibError);
  throw GifDecodeError(status, std::string(during) + ": " + (reason ? reason : "giflib error"));
}

// The transparent index that a graphics control extension gives the next frame, or -1.
int TransparentIndexOfExtension(GifFileType* gif, int transparentIndex) {
  int extensionCode = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &extensionCode, &block) == GIF_ERROR) {
    FailWithGiflibError(gif->Error, "reading an extension");
  }
  if (extensionCode == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
    GraphicsControlBlock control{};
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      transparentIndex = control.TransparentColor;
    }
  }
  // Skip the rest of the extension's sub-blocks; each call consumes input, so this ends.
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
      FailWithGiflibError(gif->Error, "reading an extension");
    }
  }
  return transparentIndex;
}

// Reads records up to the first image descriptor and returns the transparent index that
// applies to it.
int AdvanceToFirstFrame(GifFileType* gif) {
  int transparentIndex = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) {
      FailWithGiflibError(gif->Error, "reading the record type");
    }
    switch (record) {
      case EXTENSION_RECORD_TYPE:
        transparentIndex = TransparentIndexOfExtension(gif, transparentIndex);
        break;
      case IMAGE_DESC_RECORD_TYPE:
        if (DGifGetImageDesc(gif) == GIF_ERROR) {
          FailWithGiflibError(gif->Error, "reading the image descriptor");
        }
        return transparentIndex;
      case TERMINATE_RECORD_TYPE:
        throw GifDecodeError(GifDecodeStatus::kNoImage, "the file holds no image");
      default:
        throw GifDecodeError(GifDecodeStatus::kCorrupt, "unknown record type");
    }
  }
}

}  // namespace

std::vector<int> GifStoredRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int row = 0; row < height; ++row) {
      order.push_back(row);
    }
    return order;
  }
  constexpr int kPassStart[] = {0, 4, 2, 1};
  constexpr int kPassStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int row = kPassStart[pass]; row < height; row += kPassStep[pass]) {
      order.push_back(row);
    }
  }
  return order;
}

namespace {

GifRgb ToRgb(const GifColorType& colour) { return {colour.Red, colour.Green, colour.Blue}; }

GifRgb BackgroundColour(const GifFileType& gif) {
  const ColorMapObject* global = gif.SColorMap;
  if (global != nullptr && gif.SBackGroundColor >= 0 && gif.SBackGroundColor < global->ColorCount) {
    return ToRgb(global->Colors[gif.SBackGroundColor]);
  }
  return {};
}

struct FrameGeometry {
  int left;
  int top;
  int width;
  int height;
};

// Reads the frame's rows into the screen cells, clipping at the screen's edges.
bool DrawFrame(GifFileType* gif, const FrameGeometry& frame, int colourCount,
               int transparentIndex, int screenWidth, int screenHeight,
               std::vector<uint16_t>& cells) {
  bool backgroundShows = false;
  if (frame.width <= 0 || frame.height <= 0) {
    return backgroundShows;
  }
  std::vector<GifPixelType> line(static_cast<size_t>(frame.width));
  const int visibleColumns = std::clamp(screenWidth - frame.left, 0, frame.width);
  for (int row : GifStoredRowOrder(frame.height, gif->Image.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.width) == GIF_ERROR) {
      FailWithGiflibError(gif->Error, "reading the pixels");
    }
    for (int x = 0; x < frame.width; ++x) {
      if (line[x] != transparentIndex && line[x] >= colourCount) {
        throw GifDecodeError(GifDecodeStatus::kPixelOutsideTable,
                             "pixel value " + std::to_string(line[x]) +
                                 " outside a colour table of " + std::to_string(colourCount) +
                                 " entries");
      }
    }
    const int screenRow = frame.top + row;
    if (screenRow >= screenHeight || visibleColumns == 0) {
      continue;
    }
    uint16_t* cellRow = cells.data() + static_cast<size_t>(screenRow) * screenWidth + frame.left;
    for (int x = 0; x < visibleColumns; ++x) {
      if (line[x] == transparentIndex) {
        backgroundShows = true;
      } else {
        cellRow[x] = line[x];
      }
    }
  }
  return backgroundShows;
}

bool FrameCoversScreen(const FrameGeometry& frame, int screenWidth, int screenHeight) {
  return frame.left == 0 && frame.top == 0 && frame.width >= screenWidth &&
         frame.height >= screenHeight;
}

// Turns the screen cells into the palette form when the colours fit one table, else into
// the true-colour form.
ComposedGif FinishPicture(std::vector<uint16_t> cells, int width, int height,
                          const ColorMapObject& table, GifRgb background, bool backgroundShows) {
  ComposedGif picture;
  picture.width = width;
  picture.height = height;
  std::vector<GifRgb> palette;
  for (int i = 0; i < table.ColorCount; ++i) {
    palette.push_back(ToRgb(table.Colors[i]));
  }
  int backgroundSlot = -1;
  if (backgroundShows) {
    auto match = std::find(palette.begin(), palette.end(), background);
    if (match != palette.end()) {
      backgroundSlot = static_cast<int>(match - palette.begin());
    } else if (palette.size() < 256) {
      backgroundSlot = static_cast<int>(palette.size());
      palette.push_back(background);
    }
  }
  const size_t pixelCount = cells.size();
  if (!backgroundShows || backgroundSlot >= 0) {
    picture.palette = std::move(palette);
    picture.indices.resize(pixelCount);
    for (size_t i = 0; i < pixelCount; ++i) {
      picture.indices[i] = static_cast<uint8_t>(cells[i] == kBackgroundCell ? backgroundSlot
                                                                             : cells[i]);
    }
    return picture;
  }
  picture.rgb.resize(pixelCount * 3);
  for (size_t i = 0; i < pixelCount; ++i) {
    const GifRgb colour = cells[i] == kBackgroundCell ? background : palette[cells[i]];
    picture.rgb[i * 3] = colour.red;
    picture.rgb[i * 3 + 1] = colour.green;
    picture.rgb[i * 3 + 2] = colour.blue;
  }
  return picture;
}

}  // namespace

GifRgb ComposedGif::PixelAt(int x, int y) const {
  const size_t pixel = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (IsPaletted()) {
    return palette.at(indices.at(pixel));
  }
  return {rgb.at(pixel * 3), rgb.at(pixel * 3 + 1), rgb.at(pixel * 3 + 2)};
}

ComposedGif DecodeGifFirstFrame(const uint8_t* data, size_t size, GifDecodeLimits limits) {
  ByteCursor cursor{data, data == nullptr ? 0 : size, 0};
  int openError = 0;
  GifHandle gif(DGifOpen(&cursor, ReadFromCursor, &openError));
  if (!gif) {
    FailWithGiflibError(openError, "reading the screen descriptor");
  }
  const int transparentIndex = AdvanceToFirstFrame(gif.get());

  const GifImageDesc& desc = gif->Image;
  const FrameGeometry frame{desc.Left, desc.Top, desc.Width, desc.Height};
  const ColorMapObject* table = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
  if (table == nullptr || table->ColorCount <= 0 || table->ColorCount > 256) {
    throw GifDecodeError(GifDecodeStatus::kNoColourTable, "the first image has no colour table");
  }

  // Both sizes are 16-bit fields of the file, so these sums and the product cannot overflow.
  const int screenWidth = gif->SWidth > 0 ? gif->SWidth : frame.left + frame.width;
  const int screenHeight = gif->SHeight > 0 ? gif->SHeight : frame.top + frame.height;
  const uint64_t screenPixels = static_cast<uint64_t>(screenWidth) * static_cast<uint64_t>(screenHeight);
  if (screenPixels == 0) {
    throw GifDecodeError(GifDecodeStatus::kNoImage, "the image is empty");
  }
  if (screenPixels > limits.maxScreenPixels) {
    throw GifDecodeError(GifDecodeStatus::kScreenTooLarge,
                         "the image of " + std::to_string(screenWidth) + " x " +
                             std::to_string(screenHeight) + " pixels is too large");
  }

  std::vector<uint16_t> cells(static_cast<size_t>(screenPixels), kBackgroundCell);
  bool backgroundShows = DrawFrame(gif.get(), frame, table->ColorCount, transparentIndex,
                                   screenWidth, screenHeight, cells);
  backgroundShows = backgroundShows || !FrameCoversScreen(frame, screenWidth, screenHeight);
  return FinishPicture(std::move(cells), screenWidth, screenHeight, *table, BackgroundColour(*gif),
                       backgroundShows);
}
