#include "qav_pixbuf_load.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "pixel_colours.h"
#include "qav_plugin_read.h"

namespace {

struct QavLoadContext {
  GdkPixbufModuleSizeFunc sizeFunc = nullptr;
  GdkPixbufModulePreparedFunc preparedFunc = nullptr;
  GdkPixbufModuleUpdatedFunc updatedFunc = nullptr;
  gpointer userData = nullptr;
  std::vector<uint8_t> bytes;
  bool sizeAnnounced = false;
  // The caller answered the size with 0: it wanted the size only (gdk_pixbuf_get_file_info),
  // so no more bytes are kept and nothing is decoded.
  bool sizeDeclined = false;
};

void SetError(GError** error, GdkPixbufError code, const std::string& sentence) {
  g_set_error_literal(error, GDK_PIXBUF_ERROR, code, sentence.c_str());
}

void SetOutOfMemory(GError** error) {
  SetError(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
           "There is not enough memory to show the picture.");
}

// Tells the caller the size once; false when the caller wants no pixels.
bool AnnounceSize(QavLoadContext& context, int width, int height) {
  if (!context.sizeAnnounced) {
    context.sizeAnnounced = true;
    if (context.sizeFunc != nullptr) {
      context.sizeFunc(&width, &height, context.userData);
      context.sizeDeclined = width == 0 || height == 0;
    }
  }
  return !context.sizeDeclined;
}

// The size is told as soon as the headers hold it, before the pixels arrive.
void AnnounceSizeFromHeaders(QavLoadContext& context) {
  QavPictureShape shape;
  if (!context.sizeAnnounced && ProbeQavShape(context.bytes, &shape))
    AnnounceSize(context, shape.width, shape.height);
}

// A row of blue, green, red bytes (the fractal images) as red, green, blue.
void SwapToRgb(const uint8_t* bgr, int width, guchar* rgb) {
  for (int x = 0; x < width; ++x, bgr += 3, rgb += 3) {
    rgb[0] = bgr[2];
    rgb[1] = bgr[1];
    rgb[2] = bgr[0];
  }
}

// Any other layout through the colours the viewer shows for it.
void ColoursToRgb(const TBitmap& bitmap, int y, uint32_t* colours, guchar* rgb) {
  ConvertRowToXrgb32(bitmap, y, colours);
  for (int x = 0; x < bitmap.GetWidth(); ++x) {
    *rgb++ = static_cast<guchar>(colours[x] >> 16);
    *rgb++ = static_cast<guchar>(colours[x] >> 8);
    *rgb++ = static_cast<guchar>(colours[x]);
  }
}

// The one copy of the pixels: the bitmap's rows as the viewer shows them, as RGB bytes.
void CopyRgbRows(const TBitmap& bitmap, GdkPixbuf* pixbuf) {
  const int width = bitmap.GetWidth();
  const size_t rowStride = static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf));
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const bool plainBgr = bitmap.BitsPerPixel() == 24 && !bitmap.HasColorMasks();
  std::vector<uint32_t> colours(plainBgr ? 0 : static_cast<size_t>(width));
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    guchar* out = pixels + static_cast<size_t>(y) * rowStride;
    if (plainBgr)
      SwapToRgb(bitmap.RowData(y), width, out);
    else
      ColoursToRgb(bitmap, y, colours.data(), out);
  }
}

gboolean HandOver(QavLoadContext& context, const TBitmap& bitmap, GError** error) {
  const int width = bitmap.GetWidth();
  const int height = bitmap.GetHeight();
  if (!AnnounceSize(context, width, height))
    return TRUE;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  if (pixbuf == nullptr) {
    SetOutOfMemory(error);
    return FALSE;
  }
  if (context.preparedFunc != nullptr)
    context.preparedFunc(pixbuf, nullptr, context.userData);
  CopyRgbRows(bitmap, pixbuf);
  if (context.updatedFunc != nullptr)
    context.updatedFunc(pixbuf, 0, 0, width, height, context.userData);
  g_object_unref(pixbuf);
  return TRUE;
}

gboolean DecodeAndHandOver(QavLoadContext& context, GError** error) {
  if (context.sizeDeclined)
    return TRUE;
  QavPicture picture = DecodeQavPicture(context.bytes);
  std::vector<uint8_t>().swap(context.bytes);
  if (picture.bitmap == nullptr) {
    SetError(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, picture.refusal);
    return FALSE;
  }
  return HandOver(context, *picture.bitmap, error);
}

}  // namespace

gpointer QavBeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                      GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error) {
  auto* context = new (std::nothrow) QavLoadContext;
  if (context == nullptr) {
    SetOutOfMemory(error);
    return nullptr;
  }
  context->sizeFunc = sizeFunc;
  context->preparedFunc = preparedFunc;
  context->updatedFunc = updatedFunc;
  context->userData = userData;
  return context;
}

gboolean QavLoadIncrement(gpointer data, const guchar* bytes, guint count, GError** error) {
  auto& context = *static_cast<QavLoadContext*>(data);
  if (context.sizeDeclined)
    return TRUE;
  if (context.bytes.size() + count > MaxQavFileBytes()) {
    SetError(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, TooLongSentence(0));
    return FALSE;
  }
  try {
    context.bytes.insert(context.bytes.end(), bytes, bytes + count);
    AnnounceSizeFromHeaders(context);
  } catch (const std::bad_alloc&) {
    SetOutOfMemory(error);
    return FALSE;
  }
  return TRUE;
}

gboolean QavStopLoad(gpointer data, GError** error) {
  std::unique_ptr<QavLoadContext> context(static_cast<QavLoadContext*>(data));
  try {
    return DecodeAndHandOver(*context, error);
  } catch (const std::bad_alloc&) {
    SetOutOfMemory(error);
    return FALSE;
  }
}
