#include "test_files.h"

#include <QFile>

#include "bitmap.h"
#include "bitmap_qimage.h"

QColor TestBitmapColour(int x, int y) {
  return QColor((x * 7) % 256, (y * 13) % 256, (x + y) % 256);
}

void WriteTestBitmap(const QString& path, int width, int height) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetHeight(height);
  bitmap.SetWidth(width);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.RowData(y);
    for (int x = 0; x < width; ++x) {
      const QColor colour = TestBitmapColour(x, y);
      row[3 * x] = static_cast<uint8_t>(colour.blue());
      row[3 * x + 1] = static_cast<uint8_t>(colour.green());
      row[3 * x + 2] = static_cast<uint8_t>(colour.red());
    }
  }
  bitmap.SaveToBitmapFile(path.toStdString());
}

namespace {
void AppendLittleEndian(QByteArray& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}
}  // namespace

QByteArray TinyQAVFile() {
  QByteArray file("QAV");
  file.append('\0');               // reserved
  file.append('\x31');             // version
  file.append('\0');               // method 0: run-length bitmap
  AppendLittleEndian(file, 2, 2);  // width
  AppendLittleEndian(file, 1, 2);  // height
  file.append('\x03');             // pixel format: 8 bits
  file.append(3, '\0');            // padding
  AppendLittleEndian(file, 3, 4);  // stored size
  file.append('\x01');             // full palette
  file.append(3, '\0');            // padding
  QByteArray palette(1024, '\0');
  const char entries[] = {10, 20, 30, 0, char(200), 100, 50, 0};
  palette.replace(4, 8, entries, 8);  // entries 1 and 2
  file.append(palette);
  file.append("\x02\x01\x02", 3);  // a literal run of the two pixels
  return file;
}

namespace {
// The count table block of a stream of one byte value, occurring `count` times, run-length
// coded as four literal runs of 128 bytes.
QByteArray SingleSymbolTable(int symbol, uint32_t count) {
  QByteArray counts(512, '\0');
  counts[2 * symbol] = static_cast<char>(count & 0xFF);
  counts[2 * symbol + 1] = static_cast<char>(count >> 8);
  QByteArray table;
  for (int i = 0; i < 512; i += 128) {
    table.append('\x80');  // literal run of 128 bytes
    table.append(counts.mid(i, 128));
  }
  return table;
}

QByteArray CommonHeader(int method, int width, int height) {
  QByteArray file("QAV");
  file.append('\0');
  file.append('\x31');
  file.append(static_cast<char>(method));
  AppendLittleEndian(file, static_cast<uint32_t>(width), 2);
  AppendLittleEndian(file, static_cast<uint32_t>(height), 2);
  return file;
}
}  // namespace

QByteArray TinyHuffmanQAVFile() {
  const QByteArray table = SingleSymbolTable(5, 4);
  QByteArray file = CommonHeader(1, 2, 2);
  file.append('\x03');
  file.append(3, '\0');
  AppendLittleEndian(file, 4, 4);  // decoded size
  AppendLittleEndian(file, 0, 4);  // bit stream size: a single symbol needs no bits
  AppendLittleEndian(file, 0, 4);  // not packed
  AppendLittleEndian(file, static_cast<uint32_t>(table.size()), 4);
  QByteArray palette(1024, '\0');
  palette[20] = 1;
  palette[21] = 2;
  palette[22] = 3;
  file.append(palette);
  file.append(table);
  return file;
}

void FractalQAVOffsets(int block, int* red, int* green, int* blue) {
  *red = 8 * block - 60;
  *green = 20 - 3 * block;
  *blue = 4 * block;
}

QByteArray FractalQAVFile(int storedIterations) {
  constexpr int kBlocks = 16;
  const QByteArray transformTable = SingleSymbolTable(0, kBlocks);
  QByteArray file = CommonHeader(2, 16, 16);
  file.append('\x06');
  file.append(3, '\0');
  AppendLittleEndian(file, kBlocks, 4);  // block count
  AppendLittleEndian(file, 0, 4);        // block size code: 4 x 4
  AppendLittleEndian(file, static_cast<uint32_t>(storedIterations), 4);
  file.append('\0');  // domain indices raw
  file.append('\0');  // offsets raw
  file.append(2, '\0');
  AppendLittleEndian(file, 2 * kBlocks, 4);  // domain: decoded, stored, table
  AppendLittleEndian(file, 2 * kBlocks, 4);
  AppendLittleEndian(file, 0, 4);
  AppendLittleEndian(file, 3 * kBlocks, 4);  // offsets
  AppendLittleEndian(file, 3 * kBlocks, 4);
  AppendLittleEndian(file, 0, 4);
  AppendLittleEndian(file, kBlocks, 4);  // transforms
  AppendLittleEndian(file, static_cast<uint32_t>(transformTable.size()), 4);
  AppendLittleEndian(file, static_cast<uint32_t>(transformTable.size()), 4);
  for (int k = 0; k < kBlocks; ++k)
    AppendLittleEndian(file, static_cast<uint32_t>(k % 4), 2);
  for (int k = 0; k < kBlocks; ++k) {
    int red = 0, green = 0, blue = 0;
    FractalQAVOffsets(k, &red, &green, &blue);
    file.append(static_cast<char>(red));
    file.append(static_cast<char>(green));
    file.append(static_cast<char>(blue));
  }
  file.append(transformTable);
  return file;
}

QByteArray BadMagicQAVFile() {
  QByteArray file = TinyQAVFile();
  file.replace(0, 3, "qav");
  return file;
}

QByteArray TinyGifFile(QColor colour) {
  QByteArray file("GIF89a");
  AppendLittleEndian(file, 1, 2);
  AppendLittleEndian(file, 1, 2);
  file.append('\x80');  // global colour table of 2 entries
  file.append('\0');    // background index
  file.append('\0');    // aspect
  file.append(static_cast<char>(colour.red()));
  file.append(static_cast<char>(colour.green()));
  file.append(static_cast<char>(colour.blue()));
  file.append(3, '\0');
  file.append('\x2C');  // image descriptor at (0, 0), 1 x 1, no local table
  AppendLittleEndian(file, 0, 2);
  AppendLittleEndian(file, 0, 2);
  AppendLittleEndian(file, 1, 2);
  AppendLittleEndian(file, 1, 2);
  file.append('\0');
  // LZW, minimum code size 2: clear (4), index 0, end (5), 3 bits each, least significant
  // bit first: 100 000 101 -> 0x44 0x01.
  file.append("\x02\x02\x44\x01\x00", 5);
  file.append('\x3B');
  return file;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    qFatal("cannot write %s", qPrintable(path));
  file.write(bytes);
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  return file.readAll();
}

QImage ImageOfBitmapFile(const QString& path) {
  TBitmap bitmap;
  bitmap.LoadFromBitmapFile(path.toStdString());
  return ImageOfBitmap(bitmap);
}

QImage ImageOfBitmap(const TBitmap& bitmap) {
  QRect covered;
  return BitmapAreaImage(bitmap, QRect(0, 0, bitmap.GetWidth(), bitmap.GetHeight()), &covered)
      .convertToFormat(QImage::Format_RGB32);
}
