#pragma once
// The shrink step's pixel loops: domain rows [firstRow, endRow) of a domain image
// `domainWidth` words wide (a multiple of 4) from the working image twice as wide and high.

#include <cstddef>
#include <cstdint>

#include "fractal_kernel_level.h"

using ShrinkRowsKernel = void (*)(const uint32_t* working, uint32_t* domain, size_t domainWidth,
                                  size_t firstRow, size_t endRow);

ShrinkRowsKernel ShrinkRowsKernelFor(FractalKernelLevel level);
