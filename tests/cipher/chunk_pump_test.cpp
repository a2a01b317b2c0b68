#include "cipher/chunk_pump.h"

#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using cipher::kBuffersInFlight;
using cipher::kChunkSize;
using cipher::PumpChunks;

constexpr std::uint64_t kNever = UINT64_MAX;

// The byte at `offset` of the source.
std::uint8_t SourceByte(std::uint64_t offset) {
    return static_cast<std::uint8_t>(offset * 7 + offset / 251);
}

// A stand-in for a stream cipher: each byte depends on all before it, so a
// chunk stepped out of order or twice changes everything after it.
class RunningStep {
public:
    std::uint8_t Next(std::uint8_t byte) {
        state_ = static_cast<std::uint8_t>(state_ * 31 + 17);
        return byte ^ state_;
    }

private:
    std::uint8_t state_ = 1;
};

std::vector<std::uint8_t> Expected(std::uint64_t length, std::size_t trimmed) {
    RunningStep cipher;
    std::vector<std::uint8_t> out;
    for (std::uint64_t i = 0; i < length; ++i) {
        out.push_back(cipher.Next(SourceByte(i)));
    }
    out.resize(out.size() - trimmed);
    return out;
}

// What a run saw, recorded from all three threads.
struct Record {
    std::mutex mutex;
    std::vector<std::uint64_t> read_offsets;
    std::vector<std::uint8_t> written;
    std::size_t writes = 0;
    std::size_t steps = 0;
    std::vector<bool> last_flags;
    std::set<const std::uint8_t*> buffers;
};

// Runs the pump over a generated source; the n-th read, step or write
// (counting from 0) throws when it is the one named to fail. Returns the
// error message, empty on success.
struct Faults {
    std::uint64_t read = kNever;
    std::uint64_t step = kNever;
    std::uint64_t write = kNever;
    // The failing write holds until the failing step has thrown, so that both
    // failures are there to choose from, whatever the threads' timing.
    bool write_fails_after_step = false;
};

std::string RunPump(std::uint64_t length, const Faults& faults, Record& record, std::size_t trim_last = 0) {
    RunningStep cipher;
    std::promise<void> step_failed;
    const std::shared_future<void> step_has_failed = step_failed.get_future().share();
    try {
        PumpChunks(
            [&](std::uint64_t offset, std::span<std::uint8_t> bytes) {
                const std::lock_guard lock(record.mutex);
                if (record.read_offsets.size() == faults.read) {
                    throw std::runtime_error("read failed at " + std::to_string(offset));
                }
                record.read_offsets.push_back(offset);
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    bytes[i] = SourceByte(offset + i);
                }
            },
            length,
            [&](std::span<std::uint8_t> chunk, bool last) {
                std::size_t index = 0;
                {
                    const std::lock_guard lock(record.mutex);
                    index = record.steps++;
                    record.last_flags.push_back(last);
                    record.buffers.insert(chunk.data());
                }
                if (index == faults.step) {
                    if (faults.write_fails_after_step) {
                        step_failed.set_value();
                    }
                    throw std::runtime_error("step failed at chunk " + std::to_string(index));
                }
                for (std::uint8_t& byte : chunk) {
                    byte = cipher.Next(byte);
                }
                return last ? chunk.size() - trim_last : chunk.size();
            },
            [&](std::span<const std::uint8_t> bytes) {
                std::unique_lock lock(record.mutex);
                if (record.writes == faults.write) {
                    if (faults.write_fails_after_step) {
                        lock.unlock();
                        (void)step_has_failed.wait_for(std::chrono::minutes(1));  // a bound that only ends a hang
                        lock.lock();
                    }
                    throw std::runtime_error("write failed at chunk " + std::to_string(record.writes));
                }
                ++record.writes;
                record.written.insert(record.written.end(), bytes.begin(), bytes.end());
            });
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

TEST(ChunkPumpTest, EveryByteGoesThroughTheStepOnceInOrder) {
    struct Row {
        std::uint64_t length;
        std::size_t trim_last;
    };
    const Row rows[] = {
        {0, 0},
        {1, 0},
        {kChunkSize, 3},
        {kChunkSize + 1, 0},
        {3 * kChunkSize, 13},
        {(kBuffersInFlight + 1) * kChunkSize - 1, 0},
        {3 * kBuffersInFlight * kChunkSize + 7, 7},
    };
    for (const Row& row : rows) {
        Record record;
        ASSERT_EQ(RunPump(row.length, {}, record, row.trim_last), "") << row.length;

        const std::size_t chunks = row.length == 0 ? 1 : (row.length + kChunkSize - 1) / kChunkSize;
        EXPECT_EQ(record.written, Expected(row.length, row.trim_last)) << row.length;
        ASSERT_EQ(record.read_offsets.size(), chunks) << row.length;
        for (std::size_t i = 0; i < chunks; ++i) {
            EXPECT_EQ(record.read_offsets[i], i * kChunkSize) << row.length << ", read " << i;
        }
        std::vector<bool> last_only_at_the_end(chunks, false);
        last_only_at_the_end.back() = true;
        EXPECT_EQ(record.last_flags, last_only_at_the_end) << row.length;
        EXPECT_LE(record.buffers.size(), kBuffersInFlight) << row.length << ": buffers are used over again";
    }
}

TEST(ChunkPumpTest, TheFirstFailureInTheDataIsRaisedAndNothingAfterItIsWritten) {
    struct Row {
        const char* what;
        Faults faults;
        std::string error;
        std::size_t chunks_written;
    };
    constexpr std::uint64_t kChunks = 3 * kBuffersInFlight;
    const Row rows[] = {
        {"the first read", {.read = 0}, "read failed at 0", 0},
        {"a read", {.read = 5}, "read failed at " + std::to_string(5 * kChunkSize), 5},
        {"the last read",
         {.read = kChunks - 1},
         "read failed at " + std::to_string((kChunks - 1) * kChunkSize),
         kChunks - 1},
        {"the first step", {.step = 0}, "step failed at chunk 0", 0},
        {"a step", {.step = 3}, "step failed at chunk 3", 3},
        {"the last step", {.step = kChunks - 1}, "step failed at chunk " + std::to_string(kChunks - 1), kChunks - 1},
        {"the first write", {.write = 0}, "write failed at chunk 0", 0},
        {"a write", {.write = 2}, "write failed at chunk 2", 2},
        {"the last write", {.write = kChunks - 1}, "write failed at chunk " + std::to_string(kChunks - 1), kChunks - 1},
        {"a write before a step", {.step = 4, .write = 2}, "write failed at chunk 2", 2},
        {"a write before a step that failed first",
         {.step = 4, .write = 2, .write_fails_after_step = true},
         "write failed at chunk 2",
         2},
        {"a step before a write", {.step = 2, .write = 4}, "step failed at chunk 2", 2},
        {"a step before a read", {.read = 4, .step = 2}, "step failed at chunk 2", 2},
        {"a read before a step", {.read = 2, .step = 4}, "read failed at " + std::to_string(2 * kChunkSize), 2},
        {"a read before a write", {.read = 2, .write = 4}, "read failed at " + std::to_string(2 * kChunkSize), 2},
        {"a write before a read", {.read = 4, .write = 1}, "write failed at chunk 1", 1},
    };
    for (const Row& row : rows) {
        Record record;
        EXPECT_EQ(RunPump(kChunks * kChunkSize, row.faults, record), row.error) << row.what;
        EXPECT_EQ(record.writes, row.chunks_written) << row.what;
        const std::vector<std::uint8_t> expected = Expected(row.chunks_written * kChunkSize, 0);
        EXPECT_TRUE(record.written == expected) << row.what << ": the chunks before the failure, in order";
        EXPECT_LE(record.read_offsets.size(), row.chunks_written + kBuffersInFlight + 1)
            << row.what << ": reading stops soon after a failure";
    }
}

TEST(ChunkPumpTest, AWriteWaitingForTheDiskDoesNotStopTheReading) {
    // Reading from the third chunk on waits for the first write to begin, and
    // that write holds until the step has had all buffers but the one being
    // written: reading and writing in turn on one thread would wait for ever.
    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false;
    std::size_t steps = 0;
    bool never_stuck = true;
    const auto wait = [&](std::unique_lock<std::mutex>& lock, const auto& done) {
        // A generous bound that only ends a hang, never a slow run.
        if (!changed.wait_for(lock, std::chrono::minutes(1), done)) {
            never_stuck = false;
        }
    };
    std::vector<std::uint8_t> written;
    const std::uint64_t length = 3 * kBuffersInFlight * kChunkSize;

    PumpChunks(
        [&](std::uint64_t offset, std::span<std::uint8_t> bytes) {
            if (offset >= 2 * kChunkSize) {
                std::unique_lock lock(mutex);
                wait(lock, [&] { return writing; });
            }
            std::fill(bytes.begin(), bytes.end(), SourceByte(offset));
        },
        length,
        [&](std::span<std::uint8_t> chunk, bool) {
            {
                const std::lock_guard lock(mutex);
                ++steps;
            }
            changed.notify_all();
            return chunk.size();
        },
        [&](std::span<const std::uint8_t> bytes) {
            std::unique_lock lock(mutex);
            if (!writing) {
                writing = true;
                changed.notify_all();
                wait(lock, [&] { return steps >= kBuffersInFlight - 1; });
            }
            written.insert(written.end(), bytes.begin(), bytes.end());
        });

    EXPECT_TRUE(never_stuck);
    ASSERT_EQ(written.size(), length);
    for (std::uint64_t chunk = 0; chunk < length / kChunkSize; ++chunk) {
        EXPECT_EQ(written[chunk * kChunkSize], SourceByte(chunk * kChunkSize)) << chunk;
    }
}

TEST(ChunkPumpTest, TheWriterGivesWayAndTheCallerKeepsItsPriority) {
    // The niceness of the thread that runs each part; a nice value may be -1,
    // so errno alone tells a failure.
    const auto niceness = [] {
        errno = 0;
        const int value = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
        EXPECT_EQ(errno, 0);
        return value;
    };
    const int caller = niceness();
    const int helper = std::min(caller + platform::kHelperThreadNiceness, 19);
    struct Row {
        const char* name;
        std::uint64_t length;
        int write_niceness;  // one chunk is written on the caller's thread
    };
    for (const Row& row : {Row{"one chunk", kChunkSize, caller}, Row{"several chunks", 3 * kChunkSize + 1, helper}}) {
        SCOPED_TRACE(row.name);
        std::set<int> step_niceness;
        std::set<int> write_niceness;
        PumpChunks([](std::uint64_t, std::span<std::uint8_t>) {}, row.length,
                   [&](std::span<std::uint8_t> chunk, bool) {
                       step_niceness.insert(niceness());
                       return chunk.size();
                   },
                   [&](std::span<const std::uint8_t>) { write_niceness.insert(niceness()); });
        EXPECT_EQ(step_niceness, std::set<int>{caller});
        EXPECT_EQ(write_niceness, std::set<int>{row.write_niceness});
        EXPECT_EQ(niceness(), caller);
    }
}

}  // namespace
