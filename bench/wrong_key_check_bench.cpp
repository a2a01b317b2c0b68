// What judging a decrypted file costs once its job is done: libmagic over
// the first 64 KiB, and the entropy count that comes before it.

#include "cipher/file_container.h"
#include "jobs/wrong_key_check.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Benchmark counts its iterations in a signed type; the count is never negative.
std::uint64_t Iterations(const benchmark::State& state) {
    return static_cast<std::uint64_t>(state.iterations());
}

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

// The same with one check kept for every file, as a queue could keep it:
// libmagic's database is loaded once, not once per file.
void BM_WrongKeyCheckKept(benchmark::State& state) {
    const std::vector<std::uint8_t> noise = Noise();
    m_Decoder::WrongKeyCheck check;
    for (auto _ : state) {
        benchmark::DoNotOptimize(check.LooksLikeWrongKey(noise));
    }
}

void BM_BitsPerByte(benchmark::State& state) {
    const std::vector<std::uint8_t> noise = Noise();
    for (auto _ : state) {
        benchmark::DoNotOptimize(m_Decoder::BitsPerByte(noise));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(Iterations(state) * noise.size()));
}

BENCHMARK(BM_LooksLikeWrongKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrongKeyCheckKept)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitsPerByte)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
