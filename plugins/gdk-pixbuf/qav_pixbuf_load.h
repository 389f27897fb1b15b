#pragma once
// The QAV loader's incremental load: the bytes are gathered as they come and decoded as a
// whole when the last one is there, since every storage method needs its whole stream.

#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

gpointer QavBeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                      GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error);
gboolean QavLoadIncrement(gpointer context, const guchar* bytes, guint count, GError** error);
// Decodes and hands the picture over; frees the context in every case.
gboolean QavStopLoad(gpointer context, GError** error);
