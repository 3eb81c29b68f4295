// Decoding and encoding speed of the adaptive Huffman coder on 16 MB of generated input,
// side by side with the plain baseline: the reference coder of the tests (linear search for
// a symbol's leaf, one bit per call through a byte-at-a-time reader).
// MB_per_s counts plain (decoded) bytes, 10^6 bytes to the MB.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "package/huffman_coder.hpp"
#include "tests/package/huffman_reference.hpp"
#include "tests/package/huffman_sample_data.hpp"

namespace {

constexpr std::size_t input_size = 16 << 20;

enum input_kind { Text, Binary, Random };

struct input {
    std::string plain;
    std::string packed;
};

const input& sample(input_kind kind) {
    static std::map<input_kind, input> cache;
    auto it = cache.find(kind);
    if (it != cache.end()) return it->second;
    input in;
    switch (kind) {
    case Text: in.plain = huffman_sample::text_like(input_size, 1001); break;
    case Binary: in.plain = huffman_sample::binary_like(input_size, 1002); break;
    case Random: in.plain = huffman_sample::random_bytes(input_size, 1003); break;
    }
    in.packed = package::huffman_encode(std::as_bytes(std::span(in.plain)));
    return cache.emplace(kind, std::move(in)).first->second;
}

void count(benchmark::State& state, const input& in) {
    state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(in.plain.size()) / 1e6,
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ratio"] = static_cast<double>(in.packed.size()) / static_cast<double>(in.plain.size());
}

template <typename Decode>
void decode(benchmark::State& state, Decode run) {
    const input& in = sample(static_cast<input_kind>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        out = run(std::as_bytes(std::span(in.packed)));
        benchmark::DoNotOptimize(out.data());
    }
    if (out != in.plain) state.SkipWithError("decoded bytes differ from the input");
    count(state, in);
}

template <typename Encode>
void encode(benchmark::State& state, Encode run) {
    const input& in = sample(static_cast<input_kind>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        out = run(std::as_bytes(std::span(in.plain)));
        benchmark::DoNotOptimize(out.data());
    }
    if (out != in.packed) state.SkipWithError("packed bytes differ between the coders");
    count(state, in);
}

void decode_baseline(benchmark::State& state) {
    decode(state, [](std::span<const std::byte> p) { return huffman_reference::decode(p); });
}
void decode_fast(benchmark::State& state) {
    decode(state, [](std::span<const std::byte> p) { return package::huffman_decode(p); });
}
void encode_baseline(benchmark::State& state) {
    encode(state, [](std::span<const std::byte> p) { return huffman_reference::encode(p); });
}
void encode_fast(benchmark::State& state) {
    encode(state, [](std::span<const std::byte> p) { return package::huffman_encode(p); });
}

void inputs(benchmark::internal::Benchmark* b) {
    b->ArgName("input")->Arg(Text)->Arg(Binary)->Arg(Random)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(decode_baseline)->Apply(inputs);
BENCHMARK(decode_fast)->Apply(inputs);
BENCHMARK(encode_baseline)->Apply(inputs);
BENCHMARK(encode_fast)->Apply(inputs);

BENCHMARK_MAIN();
