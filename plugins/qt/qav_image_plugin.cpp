// The plugin's factory: QImageReader asks it whether it reads a device or a format name.

#include <QImageIOPlugin>

#include "qav_image_handler.h"

class QavImagePlugin final : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "qav.json")

 public:
  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
    if (format == "qav")
      return CanRead;
    if (!format.isEmpty() || device == nullptr || !device->isOpen())
      return {};
    return device->isReadable() && QavImageHandler::CanRead(device) ? CanRead : Capabilities{};
  }

  QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
    auto* handler = new QavImageHandler;
    handler->setDevice(device);
    handler->SetNamedQav(format == "qav");
    handler->setFormat("qav");
    return handler;
  }
};

#include "qav_image_plugin.moc"
