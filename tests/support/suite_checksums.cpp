#include "suite_checksums.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

SuiteRendering ParseRendering(std::istringstream& fields) {
  SuiteRendering rendering;
  fields >> rendering.width >> rendering.height >> std::hex >> rendering.crc >> std::dec;
  if (!fields || rendering.width <= 0 || rendering.height <= 0)
    throw std::runtime_error("pixel-checksums.txt: a line without size and checksum");
  rendering.transparent.resize(static_cast<size_t>(rendering.height));
  std::string run;
  while (fields >> run) {
    int row = 0, first = 0, count = 0;
    if (std::sscanf(run.c_str(), "%d:%d+%d", &row, &first, &count) != 3 || row < 0 ||
        row >= rendering.height)
      throw std::runtime_error("pixel-checksums.txt: bad transparent run " + run);
    for (int x = first; x < first + count; ++x)
      rendering.transparent[static_cast<size_t>(row)].insert(x);
  }
  return rendering;
}

std::map<std::string, SuiteRendering> ReadChecksumList() {
  std::ifstream in(BmpSuiteFolder() + "/pixel-checksums.txt");
  if (!in)
    throw std::runtime_error("pixel-checksums.txt cannot be read");
  std::map<std::string, SuiteRendering> list;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::istringstream fields(line);
    std::string file;
    fields >> file;
    list[file] = ParseRendering(fields);
  }
  return list;
}

}  // namespace

std::string BmpSuiteFolder() {
  return BMPSUITE_DIR;
}

const std::map<std::string, SuiteRendering>& SuiteRenderings() {
  static const std::map<std::string, SuiteRendering> list = ReadChecksumList();
  return list;
}

uint32_t ShownColoursCrc(const SuiteRendering& rendering,
                         const std::function<uint32_t(int x, int y)>& colourAt) {
  uLong crc = crc32(0, nullptr, 0);
  std::vector<Bytef> rgb;
  for (int y = 0; y < rendering.height; ++y) {
    const std::set<int>& skipped = rendering.transparent[static_cast<size_t>(y)];
    rgb.clear();
    for (int x = 0; x < rendering.width; ++x) {
      if (skipped.count(x))
        continue;
      const uint32_t colour = colourAt(x, y);
      rgb.insert(rgb.end(), {static_cast<Bytef>(colour >> 16), static_cast<Bytef>(colour >> 8),
                             static_cast<Bytef>(colour)});
    }
    crc = crc32(crc, rgb.data(), static_cast<uInt>(rgb.size()));
  }
  return static_cast<uint32_t>(crc);
}
