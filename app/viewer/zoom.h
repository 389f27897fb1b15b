#pragma once
// The view's zoom: a power of two between 1/16 and 32, held as its exponent so that every step
// is exact and a picture coordinate maps to whole screen pixels when enlarged.

#include <string>

class TZoom {
 public:
  static constexpr int kSmallestExponent = -4;  // 1/16
  static constexpr int kLargestExponent = 5;    // 32 times

  TZoom() = default;
  // The exponent is brought into the allowed steps.
  static TZoom FromExponent(int exponent);
  // The largest step that shows the whole picture in the view, but never above 1:1: a small
  // picture stays at Actual Size.
  static TZoom ToFit(int pictureWidth, int pictureHeight, int viewWidth, int viewHeight);

  int Exponent() const { return exponent_; }
  bool Enlarges() const { return exponent_ > 0; }
  bool Reduces() const { return exponent_ < 0; }
  // Screen pixels per picture pixel when enlarged, picture pixels per screen pixel when
  // reduced; 1 at Actual Size.
  int Factor() const;
  // Screen pixels per picture pixel.
  double Scale() const;
  TZoom In() const { return FromExponent(exponent_ + 1); }
  TZoom Out() const { return FromExponent(exponent_ - 1); }

  // The screen length of a picture length; a reduced length is rounded up so that the last,
  // partly covered block of pixels still gets its screen pixel.
  int ToScreen(int pictureLength) const;
  // The picture coordinate under a screen coordinate (inside the picture).
  int ToPicture(int screenCoordinate) const;
  // As a person reads it: "100 %", "6.25 %", "3200 %".
  std::string PercentText() const;

  bool operator==(const TZoom&) const = default;

 private:
  explicit TZoom(int exponent) : exponent_(exponent) {}
  int exponent_ = 0;
};
