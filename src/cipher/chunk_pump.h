#pragma once

#include "platform/atomic_file.h"
#include "platform/byte_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace cipher {

// Files pass through the cipher in chunks of this size, so memory stays flat
// whatever their length.
inline constexpr std::size_t kChunkSize = std::size_t{1} << 20;

// At most this many chunks are held at once, their buffers used over and over.
// Reading costs less than the cipher, so a few would do; the rest carry the
// cipher on while the writer waits for the disk to catch up, or while a busy
// machine does not schedule a helper thread.
inline constexpr std::size_t kBuffersInFlight = 8;

// Transforms one chunk in place (`last` on the final one) and returns how
// many of its bytes go to the output.
using ChunkStep = std::function<std::size_t(std::span<std::uint8_t> chunk, bool last)>;

// Fills `bytes` from `offset` of the source, or throws.
using ChunkRead = std::function<void(std::uint64_t offset, std::span<std::uint8_t> bytes)>;

// Appends `bytes` to the output, or throws.
using ChunkWrite = std::function<void(std::span<const std::uint8_t> bytes)>;

// Passes the first `length` bytes of the source through `step` into the
// output, in order, chunk by chunk; an empty range is one empty, last chunk.
// The step runs on the calling thread. For more than one chunk, reading and
// writing each run on a helper thread of their own, all within this one
// blocking call, so that a write waiting for the disk never holds up the
// reading that feeds the step. The writing thread runs at a lower priority
// than the caller's, whose thread keeps its own.
//
// The first failure in the order of the data (a read, the step, a write) is
// raised once the helper threads have ended; nothing runs on after it.
void PumpChunks(const ChunkRead& read, std::uint64_t length, const ChunkStep& step, const ChunkWrite& write);

// The same from a file into a new file.
void PumpChunks(const platform::ByteFileReader& source, std::uint64_t length, const ChunkStep& step,
                platform::AtomicFileWriter& sink);

}  // namespace cipher
