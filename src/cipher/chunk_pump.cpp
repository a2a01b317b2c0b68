#include "cipher/chunk_pump.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace cipher {
namespace {

// Buffers in flight. Reading and writing cost less than the cipher, so a few
// would do on an idle machine; more let the cipher run on through the moments
// when a busy machine does not schedule the I/O thread.
constexpr std::size_t kBufferCount = 8;

struct Chunk {
    std::vector<std::uint8_t> bytes;
    std::size_t size = 0;
    bool last = false;
    std::exception_ptr read_error;  // nothing follows a chunk that could not be read
};

// Buffers go round: free -> read (I/O thread) -> filled -> step (caller) ->
// stepped -> write (I/O thread) -> free. One mutex guards all the queues.
class Pump {
public:
    Pump(const platform::ByteFileReader& source, std::uint64_t length, platform::AtomicFileWriter& sink)
        : source_(source), length_(length), sink_(sink) {}
    ~Pump() {
        Abort();
        if (io_.joinable()) {
            io_.join();
        }
    }
    Pump(const Pump&) = delete;
    Pump& operator=(const Pump&) = delete;

    void Run(const ChunkStep& step) {
        const std::uint64_t chunks = (length_ + kChunkSize - 1) / kChunkSize;
        for (std::uint64_t i = 0; i < std::min<std::uint64_t>(kBufferCount, chunks); ++i) {
            free_.emplace_back().bytes.resize(kChunkSize);
        }
        io_ = std::thread([this] {
            try {
                ReadAndWrite();
            } catch (...) {  // out of memory for a queue: ends the run like a failed write
                const std::lock_guard lock(mutex_);
                write_error_ = std::current_exception();
                aborted_ = true;
            }
            changed_.notify_all();
        });

        std::exception_ptr step_error;
        while (Chunk* chunk = NextFilled()) {
            if (chunk->read_error) {
                step_error = chunk->read_error;
                break;
            }
            try {
                chunk->size = std::min(chunk->size, step(std::span(chunk->bytes.data(), chunk->size), chunk->last));
            } catch (...) {
                step_error = std::current_exception();
                break;
            }
            const bool last = chunk->last;
            Stepped();
            if (last) {
                break;
            }
        }
        // The I/O thread writes what came before a failure: its own failure there comes first.
        {
            const std::lock_guard lock(mutex_);
            stepping_done_ = true;
        }
        changed_.notify_all();
        io_.join();
        for (const std::exception_ptr& error : {write_error_, step_error}) {
            if (error) {
                std::rethrow_exception(error);
            }
        }
    }

private:
    // The chunk at the head of the filled queue, once there is one; null when
    // the I/O thread has failed.
    Chunk* NextFilled() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return aborted_ || !filled_.empty(); });
        return aborted_ ? nullptr : &filled_.front();
    }

    // Moves the head of the filled queue, stepped, to the writer.
    void Stepped() {
        {
            const std::lock_guard lock(mutex_);
            stepped_.push_back(std::move(filled_.front()));
            filled_.pop_front();
        }
        changed_.notify_all();
    }

    void Abort() {
        {
            const std::lock_guard lock(mutex_);
            aborted_ = true;
        }
        changed_.notify_all();
    }

    // Writes come first, as they free buffers, unless the step is waiting
    // for data.
    void ReadAndWrite() {
        std::unique_lock lock(mutex_);
        while (true) {
            const auto can_read = [this] { return !reading_done_ && !stepping_done_ && !free_.empty(); };
            changed_.wait(lock, [&] { return aborted_ || !stepped_.empty() || can_read() || stepping_done_; });
            if (aborted_) {
                return;
            }
            if (can_read() && (filled_.empty() || stepped_.empty())) {
                Chunk chunk = std::move(free_.front());
                free_.pop_front();
                lock.unlock();
                Read(chunk);
                lock.lock();
                reading_done_ = chunk.last;
                filled_.push_back(std::move(chunk));
            } else if (!stepped_.empty()) {
                Chunk chunk = std::move(stepped_.front());
                stepped_.pop_front();
                lock.unlock();
                try {
                    sink_.Write(std::string_view(reinterpret_cast<const char*>(chunk.bytes.data()), chunk.size));
                } catch (...) {
                    lock.lock();
                    write_error_ = std::current_exception();
                    aborted_ = true;
                    return;
                }
                lock.lock();
                free_.push_back(std::move(chunk));
            } else if (stepping_done_) {
                return;
            }
            changed_.notify_all();
        }
    }

    // Fills the chunk from the next offset; a failed read becomes its last chunk.
    void Read(Chunk& chunk) noexcept {
        chunk.size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, length_ - read_offset_));
        try {
            source_.ReadAt(read_offset_, std::span(chunk.bytes.data(), chunk.size));
            read_offset_ += chunk.size;
            chunk.last = read_offset_ == length_;
        } catch (...) {
            chunk.read_error = std::current_exception();
            chunk.last = true;
        }
    }

    const platform::ByteFileReader& source_;
    const std::uint64_t length_;
    platform::AtomicFileWriter& sink_;
    std::uint64_t read_offset_ = 0;  // the I/O thread's own

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> free_;
    std::deque<Chunk> filled_;
    std::deque<Chunk> stepped_;
    bool reading_done_ = false;
    bool stepping_done_ = false;
    bool aborted_ = false;
    std::exception_ptr write_error_;

    std::thread io_;
};

}  // namespace

void PumpChunks(const platform::ByteFileReader& source, std::uint64_t length, const ChunkStep& step,
                platform::AtomicFileWriter& sink) {
    if (length <= kChunkSize) {
        // One chunk leaves nothing to overlap: a thread would only cost time.
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(length));
        source.ReadAt(0, chunk);
        const std::size_t size = std::min(chunk.size(), step(chunk, true));
        sink.Write(std::string_view(reinterpret_cast<const char*>(chunk.data()), size));
        return;
    }
    Pump pump(source, length, sink);
    pump.Run(step);
}

}  // namespace cipher
