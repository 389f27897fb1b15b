#include "file_kind.h"

#include <array>
#include <utility>

#include "viewer_state.h"

int FileKindFromName(const std::string& path) {
  static constexpr std::array<std::pair<const char*, int>, 6> kNameTests = {{
      {".qav", fkQAV},
      {".QAV", fkQAV},
      {".gif", fkGIF},
      {".GIF", fkGIF},
      {".bmp", fkBitmap},
      {".BMP", fkBitmap},
  }};
  int kind = fkNone;
  for (const auto& [text, kindOnHit] : kNameTests) {
    if (path.find(text) != std::string::npos)
      kind = kindOnHit;
  }
  return kind;
}
