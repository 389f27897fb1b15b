// The two entry points gdk-pixbuf looks up in a loader module.

#include "qav_pixbuf_load.h"

namespace {

// gdk-pixbuf's tables take non-const strings but never write to them.
char kQavMagic[] = "QAV";
char kFormatName[] = "qav";
char kDescription[] = "QAV image";
char kMimeType[] = "image/x-qav";
char kExtension[] = "qav";
char kLicence[] = "BSD";

GdkPixbufModulePattern kSignature[] = {
    {kQavMagic, nullptr, 100},
    {nullptr, nullptr, 0},
};
gchar* kMimeTypes[] = {kMimeType, nullptr};
gchar* kExtensions[] = {kExtension, nullptr};

}  // namespace

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
  module->begin_load = QavBeginLoad;
  module->load_increment = QavLoadIncrement;
  module->stop_load = QavStopLoad;
}

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) {
  info->name = kFormatName;
  info->signature = kSignature;
  info->description = kDescription;
  info->mime_types = kMimeTypes;
  info->extensions = kExtensions;
  // Each load has its own context and the codec keeps no shared state between decodes.
  info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
  info->license = kLicence;
}

}  // extern "C"
