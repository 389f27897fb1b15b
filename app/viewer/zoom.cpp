#include "zoom.h"

#include <algorithm>
#include <cstdio>

namespace {
// The widest and tallest a widget may be; a very long, thin picture enlarged 32 times is cut
// there rather than overflowing.
constexpr long long kLargestScreenLength = (1 << 24) - 1;
}  // namespace

TZoom TZoom::FromExponent(int exponent) {
  return TZoom(std::clamp(exponent, kSmallestExponent, kLargestExponent));
}

TZoom TZoom::ToFit(int pictureWidth, int pictureHeight, int viewWidth, int viewHeight) {
  TZoom zoom;
  while (zoom.exponent_ > kSmallestExponent &&
         (zoom.ToScreen(pictureWidth) > viewWidth || zoom.ToScreen(pictureHeight) > viewHeight)) {
    zoom = zoom.Out();
  }
  return zoom;
}

int TZoom::Factor() const {
  return 1 << (exponent_ >= 0 ? exponent_ : -exponent_);
}

double TZoom::Scale() const {
  return exponent_ >= 0 ? Factor() : 1.0 / Factor();
}

int TZoom::ToScreen(int pictureLength) const {
  const long long length = pictureLength;
  const long long screen = exponent_ >= 0 ? length * Factor() : (length + Factor() - 1) / Factor();
  return static_cast<int>(std::min(screen, kLargestScreenLength));
}

int TZoom::ToPicture(int screenCoordinate) const {
  if (exponent_ >= 0)
    return screenCoordinate / Factor();
  return screenCoordinate * Factor();
}

std::string TZoom::PercentText() const {
  char text[32];
  if (exponent_ >= 0) {
    std::snprintf(text, sizeof text, "%d %%", 100 * Factor());
  } else {
    std::snprintf(text, sizeof text, "%g %%", 100.0 / Factor());
  }
  return text;
}
