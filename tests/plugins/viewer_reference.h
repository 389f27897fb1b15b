#pragma once
// What the viewer makes of a QAV file, as qavconv shows it: the picture it saves, or the
// sentence under its error message. The plugin tests hold the plugins' pixels and refusals
// against this.

#include <cstdint>
#include <string>
#include <vector>

#include "scratch_files.h"

struct ViewerPicture {
  bool shown = false;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<uint32_t> colours;  // 0xFFRRGGBB, top row first
  std::string sentence;           // why it is not shown
};

// Runs qavconv on the file and reads back the bitmap it wrote into `scratch`.
ViewerPicture WhatTheViewerShows(const std::string& qavPath, const TemporaryFolder& scratch);

// Every QAV file the plugins are tried on: the samples, the reader's fixtures (fuzz seeds and
// crash regressions) and a few refused files written into `scratch`.
std::vector<std::string> QavFixtures(const TemporaryFolder& scratch);

// The file's name without its folder, for test output.
std::string BaseName(const std::string& path);

// How far the file's first bytes are those of a QAV file: readers that decide from content
// take only files with the magic and a version we read.
enum class QavSignature { None, Magic, MagicAndVersion };
QavSignature SignatureOf(const std::string& path);
