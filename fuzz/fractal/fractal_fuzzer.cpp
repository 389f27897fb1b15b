// Random parameter arrays and sizes through both fractal decoders: they must report the same
// status, leave the output untouched on failure and agree bit for bit on success.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <vector>

#include "fractal_work.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int code = input.ConsumeIntegralInRange(-1, 4);
  const int16_t width = input.ConsumeIntegralInRange<int16_t>(-2, 200);
  const int16_t height = input.ConsumeIntegralInRange<int16_t>(-2, 200);
  const int iterations = input.ConsumeIntegralInRange(-1, 12);
  const auto level = static_cast<FractalKernelLevel>(input.ConsumeIntegralInRange(0, 3));
  const bool wrapIndices = input.ConsumeBool();  // mostly valid indices, sometimes raw ones

  FractalGeometry geometry;
  const bool sized = ComputeFractalGeometry(code, width, height, &geometry).IsOk();
  const size_t blocks =
      sized ? geometry.rangeBlocks - (input.ConsumeIntegralInRange(0, 40) == 0) : 4;
  std::vector<uint16_t> domainIndices(blocks);
  std::vector<uint8_t> transforms(blocks);
  std::vector<int16_t> offsets(3 * blocks);
  for (size_t block = 0; block < blocks; ++block) {
    const uint16_t index = input.ConsumeIntegral<uint16_t>();
    domainIndices[block] = wrapIndices && sized ? uint16_t(index % geometry.domainBlocks) : index;
    transforms[block] = input.ConsumeIntegralInRange<uint8_t>(0, 10);
    for (int byte = 0; byte < 3; ++byte)
      offsets[3 * block + byte] = input.ConsumeIntegral<int16_t>();
  }

  const size_t pixels = width > 0 && height > 0 ? size_t(width) * size_t(height) : 1;
  std::vector<uint32_t> tableOutput(pixels, 0xA5A5A5A5u);
  std::vector<uint32_t> directOutput(pixels, 0xA5A5A5A5u);
  FractalDecodeOptions options;
  options.kernels = level;
  const QavStatus tableStatus = DecodeFractalTableDrivenWith(
      options, code, domainIndices.data(), offsets.data(), transforms.data(), blocks, width, height,
      tableOutput.data(), iterations);
  options.kernels = FractalKernelLevel::Portable;
  const QavStatus directStatus = DecodeFractalDirectWith(
      options, code, domainIndices.data(), offsets.data(), transforms.data(), blocks, width, height,
      directOutput.data(), iterations);
  if (tableStatus.Code() != directStatus.Code() || tableOutput != directOutput)
    std::abort();
  if (!tableStatus.IsOk()) {
    for (uint32_t word : tableOutput) {
      if (word != 0xA5A5A5A5u)
        std::abort();
    }
  }
  return 0;
}
