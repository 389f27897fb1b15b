// Decoding 16 MiB of 8-bit image data: our tree walk and fast path against zlib's inflate and
// libdeflate on Huffman-only deflate streams of the same data.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <stdexcept>
#include <vector>

#include "bench_images.h"
#include "huffman.h"
#include "huffman_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A raw deflate stream made with Huffman coding only, no matches.
Bytes DeflateHuffmanOnly(const Bytes& data) {
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_HUFFMAN_ONLY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  Bytes out(deflateBound(&stream, data.size()));
  stream.next_in = const_cast<Bytes::value_type*>(data.data());
  stream.avail_in = uInt(data.size());
  stream.next_out = out.data();
  stream.avail_out = uInt(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
    throw std::runtime_error("deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

const Bytes& ImageOf(int which) {
  return which == 0 ? SmoothImage() : NoisyImage();
}
const char* NameOf(int which) {
  return which == 0 ? "smooth" : "noisy";
}

void Finish(benchmark::State& state, const Bytes& out, const Bytes& data, size_t storedBytes) {
  if (out != data)
    state.SkipWithError("decode differs from the data");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
  state.counters["ratio"] = double(storedBytes) / double(data.size());
  state.SetLabel(NameOf(int(state.range(0))));
}

template <bool kTreeWalk>
void BM_Huffman(benchmark::State& state) {
  const Bytes& data = ImageOf(int(state.range(0)));
  const HuffmanEncoded encoded = HuffmanEncode(data.data(), data.size());
  HuffmanDecoder decoder;
  Bytes out(data.size());
  for (auto _ : state) {
    const QavStatus status =
        kTreeWalk
            ? decoder.DecodeByTreeWalk(encoded.bitStream.data(), encoded.bitStream.size(),
                                       out.data(), out.size(), encoded.tableBlock.data(),
                                       encoded.tableBlock.size())
            : decoder.Decode(encoded.bitStream.data(), encoded.bitStream.size(), out.data(),
                             out.size(), encoded.tableBlock.data(), encoded.tableBlock.size());
    benchmark::DoNotOptimize(status);
    benchmark::ClobberMemory();
  }
  Finish(state, out, data, encoded.bitStream.size() + encoded.tableBlock.size());
}

void BM_HuffmanTree(benchmark::State& state) {
  BM_Huffman<true>(state);
}
void BM_HuffmanFast(benchmark::State& state) {
  BM_Huffman<false>(state);
}

void BM_HuffmanOnlyZlibInflate(benchmark::State& state) {
  const Bytes& data = ImageOf(int(state.range(0)));
  const Bytes deflated = DeflateHuffmanOnly(data);
  Bytes out(data.size());
  for (auto _ : state) {
    z_stream stream{};
    inflateInit2(&stream, -15);
    stream.next_in = const_cast<Bytes::value_type*>(deflated.data());
    stream.avail_in = uInt(deflated.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    benchmark::DoNotOptimize(inflate(&stream, Z_FINISH));
    inflateEnd(&stream);
    benchmark::ClobberMemory();
  }
  Finish(state, out, data, deflated.size());
}

void BM_HuffmanOnlyLibdeflate(benchmark::State& state) {
  const Bytes& data = ImageOf(int(state.range(0)));
  const Bytes deflated = DeflateHuffmanOnly(data);
  Bytes out(data.size());
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  for (auto _ : state) {
    benchmark::DoNotOptimize(libdeflate_deflate_decompress(
        decompressor, deflated.data(), deflated.size(), out.data(), out.size(), nullptr));
    benchmark::ClobberMemory();
  }
  libdeflate_free_decompressor(decompressor);
  Finish(state, out, data, deflated.size());
}

// Argument 0: the smooth picture, 1: the noisy one.
BENCHMARK(BM_HuffmanTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HuffmanFast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HuffmanOnlyZlibInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HuffmanOnlyLibdeflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
