// What judging a decrypted file costs once its job is done: libmagic over
// the first 64 KiB, and the entropy count that comes before it.

#include "cipher/file_container.h"
#include "jobs/wrong_key_check.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

[[nodiscard]] std::vector<std::uint8_t> Noise() {
    std::mt19937 engine(12);
    std::vector<std::uint8_t> bytes(m_Encryption::kClearHeadSize);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(engine() >> 24);
    }
    return bytes;
}

// The whole check on noise: the entropy passes, so libmagic is asked.
void BM_LooksLikeWrongKey(benchmark::State& state) {
    const std::vector<std::uint8_t> noise = Noise();
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_Decoder::LooksLikeWrongKey(noise));
    }
}

void BM_BitsPerByte(benchmark::State& state) {
    const std::vector<std::uint8_t> noise = Noise();
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_Decoder::BitsPerByte(noise));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * noise.size()));
}

BENCHMARK(BM_LooksLikeWrongKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitsPerByte)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
