#include "fractal_encoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#include "fractal_decoder.h"
#include "fractal_offsets.h"

namespace {

constexpr int kChannels = 3;
constexpr int kTransformCount = 9;

// The source pixel of range pixel (r, c) under a transform code, within a block of side n.
void TransformSource(int code, int n, int r, int c, int* sourceRow, int* sourceColumn) {
  const int h = n / 2;
  switch (code) {
    case 1:
      *sourceRow = n - 1 - r;
      *sourceColumn = n - 1 - c;
      return;
    case 2:
      *sourceRow = c;
      *sourceColumn = r;
      return;
    case 3:
      *sourceRow = n - 1 - r;
      *sourceColumn = c;
      return;
    case 4:
      *sourceRow = r;
      *sourceColumn = n - 1 - c;
      return;
    case 5:
      *sourceRow = n - 1 - c;
      *sourceColumn = r;
      return;
    case 6:
      *sourceRow = c;
      *sourceColumn = n - 1 - r;
      return;
    case 7:
      *sourceRow = (r + h) % n;
      *sourceColumn = c;
      return;
    case 8:
      *sourceRow = r;
      *sourceColumn = (c + h) % n;
      return;
    default:
      *sourceRow = r;
      *sourceColumn = c;
      return;
  }
}

int Channel(uint32_t word, int channel) {
  return static_cast<int>((word >> (8 * channel)) & 0xFF);
}

// The picture padded to whole blocks by repeating its last column and row, as planes of
// channel values.
struct PaddedPlanes {
  int width = 0;
  int height = 0;
  std::vector<int16_t> values;  // channel-major: values[(ch * height + y) * width + x]
  int At(int channel, int y, int x) const {
    return values[(static_cast<size_t>(channel) * height + y) * width + x];
  }
};

PaddedPlanes PadPicture(const ColourWordImage& image, int paddedWidth, int paddedHeight) {
  PaddedPlanes planes{paddedWidth, paddedHeight, {}};
  planes.values.resize(static_cast<size_t>(kChannels) * paddedWidth * paddedHeight);
  for (int channel = 0; channel < kChannels; ++channel) {
    for (int y = 0; y < paddedHeight; ++y) {
      const int sourceY = std::min(y, image.height - 1);
      for (int x = 0; x < paddedWidth; ++x) {
        const int sourceX = std::min(x, image.width - 1);
        planes.values[(static_cast<size_t>(channel) * paddedHeight + y) * paddedWidth + x] =
            static_cast<int16_t>(Channel(
                image.words[static_cast<size_t>(sourceY) * image.width + sourceX], channel));
      }
    }
  }
  return planes;
}

// The domain image as the decoder forms it from a picture: (3 * (sum of 2 x 2 / 4)) / 4.
PaddedPlanes ShrinkPlanes(const PaddedPlanes& full) {
  PaddedPlanes half{full.width / 2, full.height / 2, {}};
  half.values.resize(static_cast<size_t>(kChannels) * half.width * half.height);
  for (int channel = 0; channel < kChannels; ++channel) {
    for (int y = 0; y < half.height; ++y) {
      for (int x = 0; x < half.width; ++x) {
        const int sum = full.At(channel, 2 * y, 2 * x) + full.At(channel, 2 * y, 2 * x + 1) +
                        full.At(channel, 2 * y + 1, 2 * x) + full.At(channel, 2 * y + 1, 2 * x + 1);
        half.values[(static_cast<size_t>(channel) * half.height + y) * half.width + x] =
            static_cast<int16_t>((3 * (sum / 4)) / 4);
      }
    }
  }
  return half;
}

// One block's pixels, channel-major, with its channel sums and centred energy.
struct BlockSamples {
  std::vector<int16_t> values;  // kChannels x n x n
  int sums[kChannels] = {};
  double centredEnergy = 0;  // sum over channels of the squared deviations from the mean
};

void Summarise(BlockSamples& block, int pixels) {
  double energy = 0;
  for (int channel = 0; channel < kChannels; ++channel) {
    int sum = 0;
    long long squares = 0;
    for (int i = 0; i < pixels; ++i) {
      const int v = block.values[static_cast<size_t>(channel) * pixels + i];
      sum += v;
      squares += static_cast<long long>(v) * v;
    }
    block.sums[channel] = sum;
    energy += static_cast<double>(squares) - static_cast<double>(sum) * sum / pixels;
  }
  block.centredEnergy = std::max(0.0, energy);
}

BlockSamples CutBlock(const PaddedPlanes& planes, int n, int top, int left, int transform) {
  BlockSamples block;
  const int pixels = n * n;
  block.values.resize(static_cast<size_t>(kChannels) * pixels);
  for (int channel = 0; channel < kChannels; ++channel) {
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) {
        int sourceRow = 0;
        int sourceColumn = 0;
        TransformSource(transform, n, r, c, &sourceRow, &sourceColumn);
        block.values[static_cast<size_t>(channel) * pixels + r * n + c] =
            static_cast<int16_t>(planes.At(channel, top + sourceRow, left + sourceColumn));
      }
    }
  }
  Summarise(block, pixels);
  return block;
}

struct DomainPool {
  int side = 4;
  std::vector<BlockSamples> transformed;  // domain j, transform t at j * 9 + t
  std::vector<uint32_t> byContrast;       // domain numbers sorted by centred energy
  std::vector<double> contrast;           // sqrt of the centred energy, by domain number
};

DomainPool BuildDomainPool(const PaddedPlanes& domainImage, int n) {
  DomainPool pool;
  pool.side = n;
  const int across = domainImage.width / n;
  const int count = across * (domainImage.height / n);
  pool.transformed.reserve(static_cast<size_t>(count) * kTransformCount);
  pool.contrast.resize(count);
  for (int j = 0; j < count; ++j) {
    for (int t = 0; t < kTransformCount; ++t) {
      pool.transformed.push_back(CutBlock(domainImage, n, n * (j / across), n * (j % across), t));
    }
    pool.contrast[j] =
        std::sqrt(pool.transformed[static_cast<size_t>(j) * kTransformCount].centredEnergy);
    pool.byContrast.push_back(static_cast<uint32_t>(j));
  }
  std::sort(pool.byContrast.begin(), pool.byContrast.end(),
            [&](uint32_t a, uint32_t b) { return pool.contrast[a] < pool.contrast[b]; });
  return pool;
}

struct BlockChoice {
  uint16_t domain = 0;
  uint8_t transform = 0;
  int8_t offsets[kChannels] = {};  // blue, green, red
  double error = std::numeric_limits<double>::infinity();
};

// The squared error of mapping a domain (one transform) onto a range with the best offsets the
// format can store. The offsets are the rounded mean difference, clamped to a signed byte.
BlockChoice Evaluate(const BlockSamples& range, const BlockSamples& domain, int pixels) {
  BlockChoice choice;
  double error = range.centredEnergy + domain.centredEnergy;
  long long cross = 0;
  for (size_t i = 0; i < range.values.size(); ++i) {
    cross += static_cast<long long>(range.values[i]) * domain.values[i];
  }
  double meanTerms = 0;
  for (int channel = 0; channel < kChannels; ++channel) {
    const double difference =
        static_cast<double>(range.sums[channel] - domain.sums[channel]) / pixels;
    const double stored = std::clamp(std::round(difference), -128.0, 127.0);
    choice.offsets[channel] = static_cast<int8_t>(stored);
    // The cross term taken about the means, and the cost of an offset off the best one.
    meanTerms += static_cast<double>(range.sums[channel]) * domain.sums[channel] / pixels;
    error += pixels * (difference - stored) * (difference - stored);
  }
  choice.error = error - 2.0 * (static_cast<double>(cross) - meanTerms);
  return choice;
}

BlockChoice SearchBlock(const BlockSamples& range, const DomainPool& pool, int candidates) {
  const int pixels = pool.side * pool.side;
  const double rangeContrast = std::sqrt(range.centredEnergy);
  const auto& order = pool.byContrast;
  // Walk outwards from the domains of the nearest contrast. By Cauchy-Schwarz no domain whose
  // contrast differs by d from the range's fits with an error below d^2, so a side whose next
  // domain is that far off is done.
  auto above = std::lower_bound(order.begin(), order.end(), rangeContrast,
                                [&](uint32_t j, double value) { return pool.contrast[j] < value; });
  auto below = above;
  BlockChoice best;
  for (int tried = 0; tried < candidates; ++tried) {
    const bool belowOpen = below != order.begin() &&
                           std::pow(rangeContrast - pool.contrast[*(below - 1)], 2) < best.error;
    const bool aboveOpen =
        above != order.end() && std::pow(pool.contrast[*above] - rangeContrast, 2) < best.error;
    if (!belowOpen && !aboveOpen)
      break;
    uint32_t domain = 0;
    if (aboveOpen && (!belowOpen || pool.contrast[*above] - rangeContrast <=
                                        rangeContrast - pool.contrast[*(below - 1)])) {
      domain = *above++;
    } else {
      domain = *--below;
    }
    for (int t = 0; t < kTransformCount; ++t) {
      BlockChoice choice = Evaluate(
          range, pool.transformed[static_cast<size_t>(domain) * kTransformCount + t], pixels);
      if (choice.error < best.error) {
        choice.domain = static_cast<uint16_t>(domain);
        choice.transform = static_cast<uint8_t>(t);
        best = choice;
      }
    }
  }
  return best;
}

}  // namespace

bool EncodeFractal(const ColourWordImage& image, const FractalEncodeOptions& options,
                   FractalParameters* parameters, std::string* error) {
  FractalGeometry geometry;
  if (image.width < 1 || image.height < 1 ||
      image.words.size() != static_cast<size_t>(image.width) * image.height ||
      !ComputeFractalGeometry(options.blockSizeCode, image.width, image.height, &geometry).IsOk()) {
    *error = "the picture's size cannot be coded in fractal blocks";
    return false;
  }
  if (geometry.domainBlocks > 65536) {
    *error = "the picture has " + std::to_string(geometry.domainBlocks) +
             " domain blocks at this block size, more than a 16-bit index names; choose a "
             "larger block size";
    return false;
  }
  const int n = geometry.blockSide;
  const PaddedPlanes picture = PadPicture(image, geometry.paddedWidth, geometry.paddedHeight);
  const DomainPool pool = BuildDomainPool(ShrinkPlanes(picture), n);
  const int across = geometry.paddedWidth / n;
  const size_t blocks = geometry.rangeBlocks;

  std::vector<BlockChoice> choices(blocks);
  int threadCount =
      options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
  threadCount = std::max(1, threadCount);
  auto work = [&](int first) {
    for (size_t k = static_cast<size_t>(first); k < blocks; k += static_cast<size_t>(threadCount)) {
      const int top = n * static_cast<int>(k / across);
      const int left = n * static_cast<int>(k % across);
      choices[k] = SearchBlock(CutBlock(picture, n, top, left, 0), pool,
                               std::max(1, options.candidatesPerBlock));
    }
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threadCount; ++t)
    workers.emplace_back(work, t);
  work(0);
  for (auto& worker : workers)
    worker.join();

  parameters->blockSizeCode = options.blockSizeCode;
  parameters->domainIndices.resize(blocks);
  parameters->transforms.resize(blocks);
  parameters->offsetTriples.resize(3 * blocks);
  for (size_t k = 0; k < blocks; ++k) {
    parameters->domainIndices[k] = choices[k].domain;
    parameters->transforms[k] = choices[k].transform;
    parameters->offsetTriples[3 * k] = choices[k].offsets[2];
    parameters->offsetTriples[3 * k + 1] = choices[k].offsets[1];
    parameters->offsetTriples[3 * k + 2] = choices[k].offsets[0];
  }
  return true;
}

bool DecodeFractalParameters(const FractalParameters& parameters, int width, int height,
                             int iterations, ColourWordImage* decoded) {
  const size_t blocks = parameters.transforms.size();
  if (parameters.domainIndices.size() != blocks || parameters.offsetTriples.size() != 3 * blocks) {
    return false;
  }
  std::vector<int16_t> offsets(3 * blocks);
  SpreadOffsetTriples(reinterpret_cast<const uint8_t*>(parameters.offsetTriples.data()), blocks,
                      offsets.data());
  decoded->width = width;
  decoded->height = height;
  decoded->words.assign(static_cast<size_t>(width) * height, 0);
  return DecodeFractalTableDriven(parameters.blockSizeCode, parameters.domainIndices.data(),
                                  offsets.data(), parameters.transforms.data(), blocks,
                                  static_cast<int16_t>(width), static_cast<int16_t>(height),
                                  decoded->words.data(), iterations)
      .IsOk();
}

double ColourPsnr(const ColourWordImage& a, const ColourWordImage& b) {
  double squares = 0;
  const size_t count = std::min(a.words.size(), b.words.size());
  for (size_t i = 0; i < count; ++i) {
    for (int channel = 0; channel < kChannels; ++channel) {
      const int difference = Channel(a.words[i], channel) - Channel(b.words[i], channel);
      squares += static_cast<double>(difference) * difference;
    }
  }
  if (squares == 0 || count == 0)
    return 99.0;
  const double meanSquare = squares / (static_cast<double>(count) * kChannels);
  return 10.0 * std::log10(255.0 * 255.0 / meanSquare);
}
