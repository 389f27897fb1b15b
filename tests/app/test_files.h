#pragma once
// Small files made by the widget tests.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

class TBitmap;

// A 24-bit bitmap file of the given size with a pattern that differs at every pixel.
void WriteTestBitmap(const QString& path, int width, int height);
// The colour of pixel (x, y) of that pattern.
QColor TestBitmapColour(int x, int y);

// A run-length QAV file of 2 x 1 pixels, 8 bits: left pixel palette entry 1, right entry 2,
// with entry 1 = (10, 20, 30) and entry 2 = (200, 100, 50).
QByteArray TinyQAVFile();
// A Huffman QAV file of 2 x 2 pixels, all of palette entry 5 = (1, 2, 3): one symbol needs no
// bits at all.
QByteArray TinyHuffmanQAVFile();
// A fractal QAV file of 16 x 16 pixels with 4 x 4 blocks, raw domain indices (block k reads
// domain block k % 4) and raw offsets (block k: red 8k - 60, green 20 - 3k, blue 4k), all
// transforms 0, storing the given iteration count.
QByteArray FractalQAVFile(int storedIterations);
// The offsets of block k of that file, in red, green, blue order.
void FractalQAVOffsets(int block, int* red, int* green, int* blue);
// A file that starts with the magic letters in lower case.
QByteArray BadMagicQAVFile();
// A GIF image of 1 x 1 pixel in the given colour.
QByteArray TinyGifFile(QColor colour);

void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// What a bitmap shows, pixel for pixel, as the library's own reading of its rows.
QImage ImageOfBitmapFile(const QString& path);
QImage ImageOfBitmap(const TBitmap& bitmap);
