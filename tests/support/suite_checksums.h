#pragma once
// The BMP suite's expected pixels as committed checksums: for each file we show, the size of
// its reference rendering and the CRC-32 of the rendering's colours (R, G, B bytes, top row
// first), leaving out the runs the rendering makes transparent.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct SuiteRendering {
  int width = 0;
  int height = 0;
  uint32_t crc = 0;
  std::vector<std::set<int>> transparent;  // per row, the columns not compared
};

// The folder holding the suite's g/, q/, b/, x/ files and pixel-checksums.txt.
std::string BmpSuiteFolder();

// Suite file name ("g/pal8.bmp") to its rendering; throws std::runtime_error when the list
// cannot be read.
const std::map<std::string, SuiteRendering>& SuiteRenderings();

// The checksum of a picture's colours as the list computes it; colourAt gives 0x??RRGGBB.
uint32_t ShownColoursCrc(const SuiteRendering& rendering,
                         const std::function<uint32_t(int x, int y)>& colourAt);
