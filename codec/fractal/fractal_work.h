#pragma once
// What both fractal decoders share: the checked inputs, the working and domain images, the
// block descriptors, the grey start, the shrink step and the copy-out.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fractal_decoder.h"
#include "fractal_kernel_level.h"
#include "fractal_transform.h"

void* AllocateWithMalloc(size_t bytes);

// Large buffers start on a huge-page boundary and are advised onto huge pages, so that the first
// touch of a fresh buffer takes a few faults instead of one per 4 KiB page. BytesToRequest gives
// the size to allocate for `bytes` usable ones (with room to move the start when the buffer is
// large); PlaceBuffer gives the usable start within such a block and sends the advice.
size_t BytesToRequest(size_t bytes);
void* PlaceBuffer(void* block, size_t bytes);

// How a decode obtains memory and which pixel loops it runs. Tests substitute a failing
// allocator and force each kernel level; every block is released with std::free.
struct FractalDecodeOptions {
  void* (*allocate)(size_t bytes) = &AllocateWithMalloc;
  FractalKernelLevel kernels = FractalKernelLevel::Best;
};

// The checked decoders with their options; the public ones run them with the defaults.
QavStatus DecodeFractalTableDrivenWith(const FractalDecodeOptions& options, int blockSizeCode,
                                       const uint16_t* domainIndices, const int16_t* offsets,
                                       const uint8_t* transforms, size_t blockCount, int16_t width,
                                       int16_t height, uint32_t* output, int iterations);
QavStatus DecodeFractalDirectWith(const FractalDecodeOptions& options, int blockSizeCode,
                                  const uint16_t* domainIndices, const int16_t* offsets,
                                  const uint8_t* transforms, size_t blockCount, int16_t width,
                                  int16_t height, uint32_t* output, int iterations);

// CheckFractalInputs plus the arrays only the decoders take; fills geometry when Ok.
QavStatus CheckDecodeInputs(int blockSizeCode, const uint16_t* domainIndices,
                            const int16_t* offsets, const uint8_t* transforms, size_t blockCount,
                            int width, int height, const uint32_t* output, int iterations,
                            FractalGeometry* geometry);

// A heap block of `count` elements that frees itself.
template <typename Element>
class FractalBuffer {
 public:
  FractalBuffer() = default;
  FractalBuffer(const FractalBuffer&) = delete;
  FractalBuffer& operator=(const FractalBuffer&) = delete;
  ~FractalBuffer() { std::free(block_); }

  bool Obtain(void* (*allocate)(size_t), size_t count) {
    std::free(block_);
    data_ = nullptr;
    const size_t bytes = count * sizeof(Element);
    block_ = allocate(BytesToRequest(bytes));
    if (block_ == nullptr)
      return false;
    data_ = static_cast<Element*>(PlaceBuffer(block_, bytes));
    return true;
  }
  Element* data() const { return data_; }

 private:
  void* block_ = nullptr;  // as allocated, for std::free
  Element* data_ = nullptr;
};

// The images and descriptor tables of one decode. Pixel references are 32-bit word indices:
// the working image has fewer than 2^29 words.
struct FractalImages {
  FractalGeometry geometry;
  size_t domainWidth = 0;
  size_t domainHeight = 0;
  size_t blocksPerRow = 0;  // range blocks across the working image
  FractalBuffer<uint32_t> working;
  FractalBuffer<uint32_t> domain;
  // Descriptor k holds in slot 32k + r the index of the first pixel of row r of block k;
  // slots r >= n are never written or read.
  FractalBuffer<uint32_t> rangeDescriptors;
  FractalBuffer<uint32_t> domainDescriptors;

  // Obtains the four buffers; false when one cannot be had (those obtained free themselves).
  bool Obtain(const FractalGeometry& checkedGeometry, void* (*allocate)(size_t));
  // The grey start and the descriptors.
  void Prepare();
  // One shrink step: the domain image from the working image.
  void Shrink(FractalKernelLevel level);
  void CopyOut(uint32_t* output, int width, int height) const;
};

// The inputs of one checked decode, in the format's order plus the arrays' block count.
struct FractalInputs {
  int blockSizeCode;
  const uint16_t* domainIndices;
  const int16_t* offsets;
  const uint8_t* transforms;
  size_t blockCount;
  int16_t width;
  int16_t height;
  uint32_t* output;
  int iterations;
};

// The frame both decoders share: checks the inputs, obtains and prepares the images, runs
// passes(images, resolvedLevel) - which returns false when it cannot obtain its own buffers -
// and copies out. Nothing is written to the output unless every step succeeded.
template <typename Passes>
QavStatus RunCheckedDecode(const FractalDecodeOptions& options, const FractalInputs& in,
                           Passes&& passes) {
  FractalGeometry geometry;
  const QavStatus status =
      CheckDecodeInputs(in.blockSizeCode, in.domainIndices, in.offsets, in.transforms,
                        in.blockCount, in.width, in.height, in.output, in.iterations, &geometry);
  if (!status.IsOk())
    return status;
  FractalImages images;
  if (!images.Obtain(geometry, options.allocate))
    return QavStatus(QavCode::OutOfMemory);
  if (!passes(images, ResolveFractalKernelLevel(options.kernels)))
    return QavStatus(QavCode::OutOfMemory);
  images.CopyOut(in.output, in.width, in.height);
  return QavStatus::Ok();
}

// A minimum chunk for ParallelFor that keeps each chunk at roughly `pixelsPerChunk` pixels
// when every index covers `pixelsPerIndex`.
size_t ChunkFor(size_t pixelsPerIndex, size_t pixelsPerChunk = 32768);
