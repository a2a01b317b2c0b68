// Throughput of the file operations on a large file that sits in the page
// cache, next to the cipher alone on one chunk: RC4 is one sequential stream,
// so one core's cipher speed is the ceiling that reading and writing should
// hide behind.
//
// ZQ_BENCH_MIB sets the file size (default 256); ZQ_BENCH_DIR the folder
// (default /dev/shm, where flushing the output costs no disk time, else the
// temporary folder).
#include "cipher/chunk_pump.h"
#include "cipher/crypto_session.h"
#include "cipher/file_container.h"
#include "platform/atomic_file.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Benchmark counts its iterations in a signed type; the count is never negative.
std::uint64_t Iterations(const benchmark::State& state) {
    return static_cast<std::uint64_t>(state.iterations());
}

constexpr const char* kKey = "Client Key 7";

std::uint64_t FileBytes() {
    const char* mib = std::getenv("ZQ_BENCH_MIB");
    return (mib != nullptr ? std::stoull(mib) : 256) << 20;
}

fs::path BaseFolder() {
    if (const char* dir = std::getenv("ZQ_BENCH_DIR")) {
        return dir;
    }
    std::error_code ignored;
    return fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// A plain file and its container in a folder of their own, made once and
// removed at exit.
class BenchFiles {
public:
    BenchFiles() {
        std::string pattern = (BaseFolder() / "zqbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder for the benchmark");
        }
        folder_ = pattern;
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        {
            platform::AtomicFileWriter plain(folder_ / "plain", platform::AtomicFileWriter::Permissions::kOwnerOnly);
            std::string chunk(cipher::kChunkSize, '\0');
            for (std::size_t i = 0; i < chunk.size(); ++i) {
                chunk[i] = static_cast<char>(i * 131 + i / 7);
            }
            for (std::uint64_t written = 0; written < FileBytes(); written += chunk.size()) {
                plain.Write(chunk);
            }
            plain.Commit();
        }
        if (!m_Encryption::EncryptFileWithSalt(Plain(), Container(), kKey).empty()) {
            throw std::runtime_error("cannot make the container for the benchmark");
        }
    }
    ~BenchFiles() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    [[nodiscard]] std::string Plain() const { return (folder_ / "plain").string(); }
    [[nodiscard]] std::string Container() const { return (folder_ / "e~plain").string(); }
    [[nodiscard]] std::string Output() const { return (folder_ / "out").string(); }
    void RemoveOutput() const {
        std::error_code ignored;
        fs::remove(folder_ / "out", ignored);
    }

private:
    fs::path folder_;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

// Runs one file operation per iteration, each to a new destination, as the
// file window does: freeing the last one is not timed.
template <typename Operation>
void RunFileOperation(benchmark::State& state, Operation operation) {
    const BenchFiles& files = Files();
    for (auto _ : state) {
        state.PauseTiming();
        files.RemoveOutput();
        state.ResumeTiming();
        if (const std::string error = operation(files); !error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(Iterations(state) * FileBytes()));
}

void BM_EncryptFile(benchmark::State& state) {
    RunFileOperation(state, [](const BenchFiles& files) {
        return m_Encryption::EncryptFileWithSalt(files.Plain(), files.Output(), kKey);
    });
}

void BM_DecryptFile(benchmark::State& state) {
    RunFileOperation(state, [](const BenchFiles& files) {
        return m_Encryption::DecryptFileWithSalt(files.Container(), files.Output(), kKey);
    });
}

// The cipher alone, through the provider, on one chunk held in memory.
void BM_CipherChunk(benchmark::State& state) {
    (void)Files();  // the data folder for the key container
    std::vector<std::uint8_t> chunk(cipher::kChunkSize, 0x5A);
    m_Encryption::CryptSession session(kKey, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.Crypt(chunk, false));
        benchmark::ClobberMemory();
    }
    session.End();
    state.SetBytesProcessed(static_cast<std::int64_t>(Iterations(state) * chunk.size()));
}

BENCHMARK(BM_CipherChunk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecryptFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_EncryptFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
