#pragma once
// A small persistent pool of worker threads that splits a loop over [0, count) into contiguous
// chunks. The decoders call it once per step of a pass, so starting threads per call would cost
// more than a small image's whole pass; the workers sleep between calls instead.

#include <cstddef>
#include <type_traits>

using ParallelChunkBody = void (*)(void* context, size_t begin, size_t end);

// Runs body(context, begin, end) over disjoint chunks covering [0, count), each at least
// minChunk indices long (except the last), on the calling thread and the pool's workers, and
// returns when every chunk has run. The loop runs inline on the calling thread when it is
// shorter than two chunks, when one thread is configured, or when the pool is already running
// another caller's loop (so nested or concurrent calls never wait on each other).
void ParallelForChunks(size_t count, size_t minChunk, ParallelChunkBody body, void* context);

template <typename Body>
void ParallelFor(size_t count, size_t minChunk, Body&& body) {
  using BodyType = std::remove_reference_t<Body>;
  ParallelForChunks(
      count, minChunk,
      [](void* context, size_t begin, size_t end) {
        (*static_cast<BodyType*>(context))(begin, end);
      },
      const_cast<std::remove_const_t<BodyType>*>(&body));
}

// The number of threads a loop may use, the calling thread included. 0 restores the default,
// the machine's core count. Must not be called while a loop is running.
void SetParallelThreadCount(unsigned threads);
unsigned ParallelThreadCount();
