#include "gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

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

GifRgb ToRgb(const GifColorType& colour) {
  return {colour.Red, colour.Green, colour.Blue};
}

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

// The screen while the frame is drawn: one palette index a pixel. Background pixels get
// backgroundSlot; when the background colour has no slot (a full table without it), the mask
// marks them instead.
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint8_t> backgroundMask;  // 1 = background; used only without a slot
  int backgroundSlot = -1;
  bool backgroundShows = false;
};

// Reads the frame's rows onto the canvas, clipping at the screen's edges.
void DrawFrame(GifFileType* gif, const FrameGeometry& frame, int colourCount, int transparentIndex,
               Canvas& canvas) {
  if (frame.width <= 0 || frame.height <= 0) {
    return;
  }
  std::vector<GifPixelType> line(static_cast<size_t>(frame.width));
  const int visibleColumns = std::clamp(canvas.width - frame.left, 0, frame.width);
  const bool masked = !canvas.backgroundMask.empty();
  for (int row : GifStoredRowOrder(frame.height, gif->Image.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.width) == GIF_ERROR) {
      FailWithGiflibError(gif->Error, "reading the pixels");
    }
    for (int x = 0; x < frame.width; ++x) {
      if (line[x] >= colourCount && line[x] != transparentIndex) {
        throw GifDecodeError(GifDecodeStatus::kPixelOutsideTable,
                             "pixel value " + std::to_string(line[x]) +
                                 " outside a colour table of " + std::to_string(colourCount) +
                                 " entries");
      }
    }
    const int screenRow = frame.top + row;
    if (screenRow >= canvas.height || visibleColumns == 0) {
      continue;
    }
    const size_t rowStart = static_cast<size_t>(screenRow) * canvas.width + frame.left;
    uint8_t* target = canvas.indices.data() + rowStart;
    uint8_t* mask = masked ? canvas.backgroundMask.data() + rowStart : nullptr;
    for (int x = 0; x < visibleColumns; ++x) {
      if (line[x] == transparentIndex) {
        canvas.backgroundShows = true;
        continue;  // the canvas already holds the background here
      }
      target[x] = line[x];
      if (mask != nullptr) {
        mask[x] = 0;
      }
    }
  }
}

bool FrameCoversScreen(const FrameGeometry& frame, int screenWidth, int screenHeight) {
  return frame.left == 0 && frame.top == 0 && frame.width >= screenWidth &&
         frame.height >= screenHeight;
}

std::vector<GifRgb> ColoursOf(const ColorMapObject& table) {
  std::vector<GifRgb> colours;
  for (int i = 0; i < table.ColorCount; ++i) {
    colours.push_back(ToRgb(table.Colors[i]));
  }
  return colours;
}

// The background's slot in the palette: its first entry in the table, else one added after
// the table's entries while there is room, else -1.
int BackgroundSlot(std::vector<GifRgb>& palette, GifRgb background) {
  const auto match = std::find(palette.begin(), palette.end(), background);
  if (match != palette.end()) {
    return static_cast<int>(match - palette.begin());
  }
  if (palette.size() < 256) {
    palette.push_back(background);
    return static_cast<int>(palette.size()) - 1;
  }
  return -1;
}

Canvas MakeCanvas(int width, int height, int backgroundSlot) {
  Canvas canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.backgroundSlot = backgroundSlot;
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  canvas.indices.assign(pixelCount, static_cast<uint8_t>(std::max(backgroundSlot, 0)));
  if (backgroundSlot < 0) {
    canvas.backgroundMask.assign(pixelCount, 1);
  }
  return canvas;
}

// The palette form when the colours fit one table, else the true-colour form.
ComposedGif FinishPicture(Canvas canvas, std::vector<GifRgb> palette, size_t tableSize,
                          GifRgb background) {
  ComposedGif picture;
  picture.width = canvas.width;
  picture.height = canvas.height;
  if (!canvas.backgroundShows || canvas.backgroundSlot >= 0) {
    if (!canvas.backgroundShows) {
      palette.resize(tableSize);  // an added background entry is not needed
    }
    picture.palette = std::move(palette);
    picture.indices = std::move(canvas.indices);
    return picture;
  }
  const size_t pixelCount = canvas.indices.size();
  picture.rgb.resize(pixelCount * 3);
  for (size_t i = 0; i < pixelCount; ++i) {
    const GifRgb colour = canvas.backgroundMask[i] ? background : palette[canvas.indices[i]];
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
  const uint64_t screenPixels =
      static_cast<uint64_t>(screenWidth) * static_cast<uint64_t>(screenHeight);
  if (screenPixels == 0) {
    throw GifDecodeError(GifDecodeStatus::kNoImage, "the image is empty");
  }
  if (screenPixels > limits.maxScreenPixels) {
    throw GifDecodeError(GifDecodeStatus::kScreenTooLarge,
                         "the image of " + std::to_string(screenWidth) + " x " +
                             std::to_string(screenHeight) + " pixels is too large");
  }

  const GifRgb background = BackgroundColour(*gif);
  std::vector<GifRgb> palette = ColoursOf(*table);
  const int backgroundSlot = BackgroundSlot(palette, background);
  Canvas canvas = MakeCanvas(screenWidth, screenHeight, backgroundSlot);
  DrawFrame(gif.get(), frame, table->ColorCount, transparentIndex, canvas);
  canvas.backgroundShows =
      canvas.backgroundShows || !FrameCoversScreen(frame, screenWidth, screenHeight);
  return FinishPicture(std::move(canvas), std::move(palette),
                       static_cast<size_t>(table->ColorCount), background);
}
