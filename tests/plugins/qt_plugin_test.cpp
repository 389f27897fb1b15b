// The Qt image plugin as any Qt program meets it: QImageReader finds it in the built plugin
// folder and gives, for every fixture, the picture qavconv saves or the sentence it prints.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "viewer_reference.h"

namespace {

// What qavshow shows, by the depth of the bitmap qavconv saves: palette images keep their
// indices and colour table, fractal images are true colour.
QImage::Format FormatOfDepth(int bitsPerPixel) {
  const std::map<int, QImage::Format> shown = {
      {1, QImage::Format_Mono}, {8, QImage::Format_Indexed8}, {24, QImage::Format_RGB32}};
  const auto found = shown.find(bitsPerPixel);
  return found != shown.end() ? found->second : QImage::Format_Invalid;
}

// A stream that cannot seek or tell its length, as a pipe gives one.
class PipeLikeStream final : public QIODevice {
 public:
  explicit PipeLikeStream(QByteArray content) : content_(std::move(content)) {
    open(QIODevice::ReadOnly);
  }
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override {
    return content_.size() - position_ + QIODevice::bytesAvailable();
  }

 protected:
  qint64 readData(char* data, qint64 most) override {
    const qint64 count = std::min(most, content_.size() - position_);
    std::memcpy(data, content_.constData() + position_, static_cast<size_t>(count));
    position_ += count;
    return count;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray content_;
  qint64 position_ = 0;
};

// The first pixel that differs, as text; empty when all are equal.
std::string FirstDifference(const QImage& image, const ViewerPicture& expected) {
  const QImage colours = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < expected.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(colours.constScanLine(y));
    for (int x = 0; x < expected.width; ++x) {
      const uint32_t wanted = expected.colours[static_cast<size_t>(y) * expected.width + x];
      if ((row[x] | 0xFF000000u) != wanted) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) +
               "): " + std::to_string(row[x]) + " instead of " + std::to_string(wanted);
      }
    }
  }
  return {};
}

// ours: whether the plugin takes the file by this route, so that a refusal is in its words;
// a file it does not take is left to Qt, which finds no reader for it.
void ExpectAsTheViewer(QImageReader& reader, const ViewerPicture& expected, bool ours) {
  if (!expected.shown) {
    const QImage image = reader.read();
    EXPECT_TRUE(image.isNull());
    if (ours) {
      EXPECT_EQ(reader.text("Refusal").toStdString(), expected.sentence);
    }
    return;
  }
  // Format name, size and pixel format come from the headers, before the pixels are decoded.
  EXPECT_EQ(reader.format(), "qav");
  EXPECT_EQ(reader.size(), QSize(expected.width, expected.height));
  EXPECT_EQ(reader.imageFormat(), FormatOfDepth(expected.bitsPerPixel));
  const QImage image = reader.read();
  ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(image.format(), FormatOfDepth(expected.bitsPerPixel));
  ASSERT_EQ(image.size(), QSize(expected.width, expected.height));
  EXPECT_EQ(FirstDifference(image, expected), "");
}

TEST(QtImagePlugin, IsFoundByFormatNameAndMimeType) {
  EXPECT_TRUE(QImageReader::supportedImageFormats().contains("qav"));
  EXPECT_TRUE(QImageReader::supportedMimeTypes().contains("image/x-qav"));
  EXPECT_EQ(QImageReader::imageFormatsForMimeType("image/x-qav"), QList<QByteArray>{"qav"});
}

// Each fixture by its name, from a file whose name says PNG but whose content is QAV, from a
// nameless buffer and from a pipe-like stream. By name, every file that starts with "QAV" is the
// plugin's; by content only those of a version it reads.
TEST(QtImagePlugin, ReadsEveryFixtureAsTheViewerDoes) {
  TemporaryFolder scratch;
  for (const std::string& path : QavFixtures(scratch)) {
    SCOPED_TRACE(BaseName(path));
    const ViewerPicture expected = WhatTheViewerShows(path, scratch);
    const QavSignature signature = SignatureOf(path);
    {
      QImageReader byName(QString::fromStdString(path));
      ExpectAsTheViewer(byName, expected, signature != QavSignature::None);
    }
    const bool oursByContent = signature == QavSignature::MagicAndVersion;
    const std::string misnamed = scratch.File("misnamed.png");
    std::filesystem::copy_file(path, misnamed, std::filesystem::copy_options::overwrite_existing);
    {
      QImageReader byContent(QString::fromStdString(misnamed));
      byContent.setDecideFormatFromContent(true);
      ExpectAsTheViewer(byContent, expected, oursByContent);
    }
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    QByteArray content(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    QImageReader fromBuffer(&buffer);
    ExpectAsTheViewer(fromBuffer, expected, oursByContent);
    PipeLikeStream stream(content);
    QImageReader fromStream(&stream);
    ExpectAsTheViewer(fromStream, expected, oursByContent);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::addLibraryPath(QAV_QT_PLUGIN_DIR);
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
