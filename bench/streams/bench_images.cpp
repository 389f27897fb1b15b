#include "bench_images.h"

#include <cmath>
#include <random>

namespace {

std::vector<uint8_t> MakeImage(double noiseAmplitude) {
  std::vector<uint8_t> image(kBenchImageSide * kBenchImageSide);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, noiseAmplitude);
  for (size_t y = 0; y < kBenchImageSide; ++y) {
    for (size_t x = 0; x < kBenchImageSide; ++x) {
      const double u = double(x) / kBenchImageSide, v = double(y) / kBenchImageSide;
      double level = 110 + 60 * std::sin(3.1 * u + 1.3 * v) + 40 * std::cos(5.7 * v - 2.2 * u) +
                     30 * std::exp(-30 * ((u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4)));
      if (noiseAmplitude > 0)
        level += noise(random);
      image[y * kBenchImageSide + x] = uint8_t(std::lround(std::fmin(255, std::fmax(0, level))));
    }
  }
  return image;
}

}  // namespace

const std::vector<uint8_t>& SmoothImage() {
  static const std::vector<uint8_t> image = MakeImage(0);
  return image;
}

const std::vector<uint8_t>& NoisyImage() {
  static const std::vector<uint8_t> image = MakeImage(60);
  return image;
}
