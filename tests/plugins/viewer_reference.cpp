#include "viewer_reference.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "bitmap.h"
#include "pixel_colours.h"
#include "run_process.h"

namespace {

namespace fs = std::filesystem;

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == '\n')
    trimmed.pop_back();
  return trimmed.substr(trimmed.rfind('\n') + 1);
}

std::vector<uint32_t> Colours(const TBitmap& bitmap) {
  const size_t width = static_cast<size_t>(bitmap.GetWidth());
  std::vector<uint32_t> colours(width * static_cast<size_t>(bitmap.GetHeight()));
  for (int y = 0; y < bitmap.GetHeight(); ++y)
    ConvertRowToXrgb32(bitmap, y, colours.data() + static_cast<size_t>(y) * width);
  return colours;
}

void AddQavFilesOf(const fs::path& folder, std::vector<std::string>* paths) {
  if (!fs::is_directory(folder))
    return;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".qav")
      paths->push_back(entry.path().string());
  }
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (const int value : values)
    bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

// Files the viewer refuses, each for another reason of its headers or data.
void WriteRefusedFiles(const TemporaryFolder& scratch, std::vector<std::string>* paths) {
  std::vector<uint8_t> cut = ReadWholeFile(QAV_SAMPLES_DIR "/coffee-rle-8bit.qav");
  cut.resize(cut.size() / 2);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> refused = {
      {"not-qav.qav", Bytes({'Q', 'A', 'X', 0, 0x31, 0, 4, 0, 4, 0})},
      {"header-cut.qav", Bytes({'Q', 'A', 'V', 0, 0x31, 0, 4})},
      {"newer-version.qav", Bytes({'Q', 'A', 'V', 0, 0x32, 0, 4, 0, 4, 0})},
      {"unknown-method.qav", Bytes({'Q', 'A', 'V', 0, 0x31, 3, 4, 0, 4, 0})},
      {"no-pixels.qav", Bytes({'Q', 'A', 'V', 0, 0x31, 0, 0, 0, 4, 0})},
      {"rows-cut.qav", cut},
  };
  for (const auto& [name, bytes] : refused) {
    WriteWholeFile(scratch.File(name), bytes);
    paths->push_back(scratch.File(name));
  }
}

}  // namespace

ViewerPicture WhatTheViewerShows(const std::string& qavPath, const TemporaryFolder& scratch) {
  const std::string saved = scratch.File("viewer.bmp");
  std::error_code ignored;
  fs::remove(saved, ignored);
  const ProcessResult run = RunProcess({QAVCONV_PATH, qavPath, saved});
  ViewerPicture picture;
  if (run.exitStatus != 0) {
    picture.sentence = LastLine(run.standardError);
    return picture;
  }
  TBitmap bitmap;
  bitmap.LoadFromBitmapFile(saved);
  picture.shown = true;
  picture.width = bitmap.GetWidth();
  picture.height = bitmap.GetHeight();
  picture.bitsPerPixel = bitmap.BitsPerPixel();
  picture.colours = Colours(bitmap);
  return picture;
}

std::vector<std::string> QavFixtures(const TemporaryFolder& scratch) {
  std::vector<std::string> paths;
  AddQavFilesOf(QAV_SAMPLES_DIR, &paths);
  AddQavFilesOf(QAV_FIXTURES_DIR, &paths);
  AddQavFilesOf(QAV_CRASHERS_DIR, &paths);
  std::sort(paths.begin(), paths.end());
  WriteRefusedFiles(scratch, &paths);
  return paths;
}

std::string BaseName(const std::string& path) {
  return fs::path(path).filename().string();
}

QavSignature SignatureOf(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  if (bytes.size() < 3 || !std::equal(bytes.begin(), bytes.begin() + 3, "QAV"))
    return QavSignature::None;
  constexpr uint8_t kNewestVersion = 0x31;
  return bytes.size() > 4 && bytes[4] <= kNewestVersion ? QavSignature::MagicAndVersion
                                                        : QavSignature::Magic;
}
