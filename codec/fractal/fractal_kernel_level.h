#pragma once
// Which instruction set the pixel loops use. The default build targets every x86-64 machine,
// so the wider paths are compiled with function target attributes and chosen at run time.

enum class FractalKernelLevel {
  Portable,  // plain C++ on whole words
  Sse2,      // every x86-64 machine
  Avx2,
  Best,  // the widest the machine supports
};

// The level a request runs at on this machine: Best becomes the widest supported level, and a
// level the machine lacks falls back to the next narrower one.
FractalKernelLevel ResolveFractalKernelLevel(FractalKernelLevel requested);
