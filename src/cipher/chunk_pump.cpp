#include "cipher/chunk_pump.h"

#include "cipher/pump_test_hooks.h"
#include "platform/thread_priority.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

namespace cipher {
namespace {

struct Chunk {
    std::vector<std::uint8_t> bytes;
    std::size_t size = 0;
    bool last = false;
    std::exception_ptr read_error;  // nothing follows a chunk that could not be read
};

// Chunks waiting for the next thread, and the signal that thread waits on.
struct Stage {
    std::deque<Chunk> chunks;
    std::condition_variable ready;
};

// Buffers go round: free -> read (reader thread) -> filled -> step (caller)
// -> stepped -> write (writer thread) -> free. One mutex guards all stages;
// each thread waits only on the stage it takes from, so a writer blocked in
// the disk never stops the reader.
class Pump {
public:
    Pump(const ChunkRead& read, std::uint64_t length, const ChunkWrite& write)
        : read_(read), length_(length), write_(write) {}
    ~Pump() {
        Abort();
        for (std::thread* helper : {&reader_, &writer_}) {
            if (helper->joinable()) {
                helper->join();
            }
        }
    }
    Pump(const Pump&) = delete;
    Pump& operator=(const Pump&) = delete;

    void Run(const ChunkStep& step) {
        const std::uint64_t chunks = (length_ + kChunkSize - 1) / kChunkSize;
        for (std::uint64_t i = 0; i < std::min<std::uint64_t>(kBuffersInFlight, chunks); ++i) {
            free_.chunks.emplace_back().bytes.resize(kChunkSize);
        }
        reader_ = std::thread([this] { Guarded([this] { ReadAll(); }); });
        writer_ = std::thread([this] {
            // Writing is copying into the page cache and waiting for the
            // disk, with buffers to spare: it can wait for a core, the cipher
            // and, above all, the window cannot.
            platform::LowerThisThreadsPriority();
            Guarded([this] { WriteAll(); });
        });

        std::exception_ptr step_error;
        while (std::optional<Chunk> chunk = Take(filled_, [] { return false; })) {
            if (chunk->read_error) {
                step_error = chunk->read_error;
                break;
            }
            try {
                detail::BeforeEachChunk();
                chunk->size = std::min(chunk->size, step(std::span(chunk->bytes.data(), chunk->size), chunk->last));
            } catch (...) {
                step_error = std::current_exception();
                break;
            }
            const bool last = chunk->last;
            Put(stepped_, std::move(*chunk));
            if (last) {
                break;
            }
        }
        // The reader stops; the writer writes what came before a failure, so
        // that its own failure there comes first.
        {
            const std::lock_guard lock(mutex_);
            stepping_done_ = true;
        }
        free_.ready.notify_all();
        stepped_.ready.notify_all();
        reader_.join();
        writer_.join();
        for (const std::exception_ptr& error : {helper_error_, step_error}) {
            if (error) {
                std::rethrow_exception(error);
            }
        }
    }

private:
    // Waits for the head of `stage` and takes it; none once the pump is
    // aborted or `over()` holds.
    template <typename Over>
    std::optional<Chunk> Take(Stage& stage, Over over) {
        std::unique_lock lock(mutex_);
        stage.ready.wait(lock, [&] { return aborted_ || over() || !stage.chunks.empty(); });
        if (aborted_ || over()) {
            return std::nullopt;
        }
        std::optional<Chunk> chunk(std::move(stage.chunks.front()));
        stage.chunks.pop_front();
        return chunk;
    }

    void Put(Stage& stage, Chunk chunk) {
        {
            const std::lock_guard lock(mutex_);
            stage.chunks.push_back(std::move(chunk));
        }
        stage.ready.notify_one();
    }

    // Ends everything: a helper failed, or the pump is being destroyed.
    void Abort() {
        {
            const std::lock_guard lock(mutex_);
            aborted_ = true;
        }
        for (Stage* stage : {&free_, &filled_, &stepped_}) {
            stage->ready.notify_all();
        }
    }

    // Runs a helper thread's work; its failure ends the run.
    template <typename Work>
    void Guarded(Work work) noexcept {
        try {
            work();
        } catch (...) {  // a failed write, or out of memory for a stage
            {
                const std::lock_guard lock(mutex_);
                if (!helper_error_) {
                    helper_error_ = std::current_exception();
                }
            }
            Abort();
        }
    }

    // Once the step has stopped, no more reading is wanted.
    void ReadAll() {
        std::uint64_t offset = 0;
        while (std::optional<Chunk> chunk = Take(free_, [this] { return stepping_done_; })) {
            chunk->size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, length_ - offset));
            try {
                read_(offset, std::span(chunk->bytes.data(), chunk->size));
                offset += chunk->size;
                chunk->last = offset == length_;
            } catch (...) {
                chunk->read_error = std::current_exception();
                chunk->last = true;
            }
            const bool last = chunk->last;
            Put(filled_, std::move(*chunk));
            if (last) {
                return;
            }
        }
    }

    // Every stepped chunk is written, in order, until the step has stopped
    // and none is left.
    void WriteAll() {
        while (std::optional<Chunk> chunk =
                   Take(stepped_, [this] { return stepping_done_ && stepped_.chunks.empty(); })) {
            write_(std::span<const std::uint8_t>(chunk->bytes.data(), chunk->size));
            Put(free_, std::move(*chunk));
        }
    }

    const ChunkRead& read_;
    const std::uint64_t length_;
    const ChunkWrite& write_;

    std::mutex mutex_;
    Stage free_;
    Stage filled_;
    Stage stepped_;
    bool stepping_done_ = false;
    bool aborted_ = false;
    std::exception_ptr helper_error_;

    std::thread reader_;
    std::thread writer_;
};

}  // namespace

void PumpChunks(const ChunkRead& read, std::uint64_t length, const ChunkStep& step, const ChunkWrite& write) {
    if (length <= kChunkSize) {
        // One chunk leaves nothing to overlap: threads would only cost time.
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(length));
        read(0, chunk);
        detail::BeforeEachChunk();
        const std::size_t size = std::min(chunk.size(), step(chunk, true));
        write(std::span<const std::uint8_t>(chunk.data(), size));
        return;
    }
    Pump pump(read, length, write);
    pump.Run(step);
}

void PumpChunks(const platform::ByteFileReader& source, std::uint64_t length, const ChunkStep& step,
                platform::AtomicFileWriter& sink) {
    PumpChunks([&source](std::uint64_t offset, std::span<std::uint8_t> bytes) { source.ReadAt(offset, bytes); }, length,
               step,
               [&sink](std::span<const std::uint8_t> bytes) {
                   sink.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
               });
}

}  // namespace cipher
