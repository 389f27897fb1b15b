// gdk-pixbuf's incremental load of the QAV loader, fed in chunks whose length the input's
// first byte chooses. A load that succeeds hands over one RGB picture of the announced size,
// covered whole by the update; a load that fails says why.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "qav_pixbuf_load.h"

namespace {

struct Observed {
  int announcedWidth = -1;
  int announcedHeight = -1;
  GdkPixbuf* pixbuf = nullptr;
  bool wholeUpdate = false;
};

void OnSize(gint* width, gint* height, gpointer data) {
  auto* observed = static_cast<Observed*>(data);
  observed->announcedWidth = *width;
  observed->announcedHeight = *height;
}

void OnPrepared(GdkPixbuf* pixbuf, GdkPixbufAnimation*, gpointer data) {
  auto* observed = static_cast<Observed*>(data);
  if (observed->pixbuf != nullptr)
    std::abort();
  observed->pixbuf = GDK_PIXBUF(g_object_ref(pixbuf));
}

void OnUpdated(GdkPixbuf* pixbuf, int x, int y, int width, int height, gpointer data) {
  auto* observed = static_cast<Observed*>(data);
  observed->wholeUpdate = pixbuf == observed->pixbuf && x == 0 && y == 0 &&
                          width == gdk_pixbuf_get_width(pixbuf) &&
                          height == gdk_pixbuf_get_height(pixbuf);
}

bool Feed(gpointer context, const uint8_t* data, size_t size, size_t chunk, GError** error) {
  for (size_t at = 0; at < size; at += chunk) {
    const size_t count = std::min(chunk, size - at);
    if (!QavLoadIncrement(context, data + at, static_cast<guint>(count), error))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const size_t chunk = size_t{data[0]} + 1;
  Observed observed;
  GError* error = nullptr;
  gpointer context = QavBeginLoad(OnSize, OnPrepared, OnUpdated, &observed, &error);
  if (context == nullptr)
    std::abort();
  const bool fed = Feed(context, data + 1, size - 1, chunk, &error);
  GError* stopError = nullptr;
  const bool loaded = QavStopLoad(context, fed ? &error : &stopError) && fed;
  if (stopError != nullptr)
    g_error_free(stopError);
  if (loaded) {
    if (observed.pixbuf == nullptr || !observed.wholeUpdate ||
        gdk_pixbuf_get_width(observed.pixbuf) != observed.announcedWidth ||
        gdk_pixbuf_get_height(observed.pixbuf) != observed.announcedHeight ||
        gdk_pixbuf_get_has_alpha(observed.pixbuf)) {
      std::abort();
    }
  } else if (error == nullptr || error->message[0] == '\0' || observed.pixbuf != nullptr) {
    std::abort();
  }
  if (error != nullptr)
    g_error_free(error);
  if (observed.pixbuf != nullptr)
    g_object_unref(observed.pixbuf);
  return 0;
}
