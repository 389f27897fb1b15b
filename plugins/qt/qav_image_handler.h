#pragma once
// Reads one QAV file from a QIODevice into a QImage with the viewer's pixels: palette images
// as Format_Indexed8 or Format_Mono with their colour table, fractal images as Format_RGB32.

#include <QByteArray>
#include <QImageIOHandler>
#include <QString>

class QavImageHandler final : public QImageIOHandler {
 public:
  bool canRead() const override;
  bool read(QImage* image) override;
  bool supportsOption(ImageOption option) const override;
  QVariant option(ImageOption option) const override;

  // Whether the device's next bytes start a QAV file of a version we read, without consuming
  // them: how a reader deciding from content finds us.
  static bool CanRead(QIODevice* device);

  // Set when the reader chose us by the format name "qav" (from the file's suffix or the
  // caller): then any file starting with "QAV" is ours to read or to refuse in the viewer's
  // words, a newer version too. Other content stays free for Qt to try other formats on.
  void SetNamedQav(bool named) { namedQav_ = named; }

  // QImageReader keeps its own fixed words for a failed read, so the reason the viewer would
  // give is offered as the text under this key (QImageReader::text) and logged as a warning.
  static constexpr const char* kRefusalKey = "Refusal";

 private:
  // Takes the rest of the device in once; false, with refusal_ set, when it cannot.
  bool TakeBytes() const;
  void Refuse(const QString& sentence) const;

  bool namedQav_ = false;
  // Filled on first use, also by the const option queries.
  mutable QByteArray bytes_;
  mutable bool bytesTaken_ = false;
  mutable QString refusal_;
};
