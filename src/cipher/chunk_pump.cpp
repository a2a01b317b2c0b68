#include "cipher/chunk_pump.h"

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

// Enough buffers for the reader to stay one chunk ahead of the step and the
// writer one behind it.
constexpr std::size_t kBufferCount = 4;

struct Chunk {
    std::vector<std::uint8_t> bytes;
    std::size_t size = 0;
    bool last = false;
    std::exception_ptr read_error;  // nothing follows a chunk that could not be read
};

// A queue between threads. Close() lets the taker drain what is queued;
// Abort() ends every Pop(), waiting or to come, at once.
template <typename T>
class Channel {
public:
    void Push(T item) {
        {
            const std::lock_guard lock(mutex_);
            if (aborted_) {
                return;
            }
            items_.push_back(std::move(item));
        }
        changed_.notify_one();
    }

    // The next item; none once closed and drained, or aborted.
    [[nodiscard]] std::optional<T> Pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return aborted_ || closed_ || !items_.empty(); });
        if (aborted_ || items_.empty()) {
            return std::nullopt;
        }
        T item = std::move(items_.front());
        items_.pop_front();
        return item;
    }

    void Close() { Set(closed_); }
    void Abort() { Set(aborted_); }

private:
    void Set(bool& flag) {
        {
            const std::lock_guard lock(mutex_);
            flag = true;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> items_;
    bool closed_ = false;
    bool aborted_ = false;
};

// Buffers go round: free -> reader -> filled -> step -> stepped -> writer -> free.
class Pump {
public:
    Pump(const platform::ByteFileReader& source, std::uint64_t length, platform::AtomicFileWriter& sink)
        : source_(source), length_(length), sink_(sink) {}
    ~Pump() {
        StopAll();
        Join();
    }
    Pump(const Pump&) = delete;
    Pump& operator=(const Pump&) = delete;

    void Run(const ChunkStep& step) {
        const std::uint64_t chunks = std::max<std::uint64_t>(1, (length_ + kChunkSize - 1) / kChunkSize);
        const auto buffer_size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, length_));
        for (std::uint64_t i = 0; i < std::min<std::uint64_t>(kBufferCount, chunks); ++i) {
            Chunk chunk;
            chunk.bytes.resize(buffer_size);
            free_.Push(std::move(chunk));
        }
        reader_ = std::thread([this] { ReadAll(); });
        writer_ = std::thread([this] { WriteAll(); });

        std::exception_ptr step_error;
        while (std::optional<Chunk> chunk = filled_.Pop()) {
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
            stepped_.Push(std::move(*chunk));
            if (last) {
                break;
            }
        }
        // The writer finishes what came before a failure: its own failure there comes first.
        stepped_.Close();
        if (writer_.joinable()) {
            writer_.join();
        }
        StopAll();
        Join();
        for (const std::exception_ptr& error : {write_error_, step_error, internal_error_}) {
            if (error) {
                std::rethrow_exception(error);
            }
        }
    }

private:
    void ReadAll() {
        try {
            std::uint64_t offset = 0;
            bool last = false;
            while (!last) {
                std::optional<Chunk> chunk = free_.Pop();
                if (!chunk) {
                    return;
                }
                chunk->size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, length_ - offset));
                chunk->last = last = offset + chunk->size == length_;
                try {
                    source_.ReadAt(offset, std::span(chunk->bytes.data(), chunk->size));
                } catch (...) {
                    chunk->read_error = std::current_exception();
                    last = true;
                }
                offset += chunk->size;
                filled_.Push(std::move(*chunk));
            }
        } catch (...) {
            Fail(internal_error_);
        }
    }

    void WriteAll() {
        try {
            while (std::optional<Chunk> chunk = stepped_.Pop()) {
                sink_.Write(std::string_view(reinterpret_cast<const char*>(chunk->bytes.data()), chunk->size));
                free_.Push(std::move(*chunk));
            }
        } catch (...) {
            Fail(write_error_);
        }
    }

    // Each helper thread sets only its own error, read after it is joined.
    void Fail(std::exception_ptr& error) {
        error = std::current_exception();
        StopAll();
    }

    void StopAll() {
        free_.Abort();
        filled_.Abort();
        stepped_.Abort();
    }

    void Join() {
        for (std::thread* thread : {&reader_, &writer_}) {
            if (thread->joinable()) {
                thread->join();
            }
        }
    }

    const platform::ByteFileReader& source_;
    const std::uint64_t length_;
    platform::AtomicFileWriter& sink_;
    Channel<Chunk> free_;
    Channel<Chunk> filled_;
    Channel<Chunk> stepped_;
    std::exception_ptr write_error_;
    std::exception_ptr internal_error_;
    std::thread reader_;
    std::thread writer_;
};

}  // namespace

void PumpChunks(const platform::ByteFileReader& source, std::uint64_t length, const ChunkStep& step,
                platform::AtomicFileWriter& sink) {
    if (length <= kChunkSize) {
        // One chunk leaves nothing to overlap: starting threads would only cost time.
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
