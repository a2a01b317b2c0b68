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

// Transforms one chunk in place (`last` on the final one) and returns how
// many of its bytes go to the output.
using ChunkStep = std::function<std::size_t(std::span<std::uint8_t> chunk, bool last)>;

// Passes the first `length` bytes of `source` through `step` into `sink`, in
// order, chunk by chunk; an empty range is one empty, last chunk. The step
// runs on the calling thread. For more than one chunk, reading and writing
// run on a helper thread that overlaps them with it, all within this one
// blocking call.
//
// The first failure in the order of the data (a read, the step, a write) is
// raised once the helper threads have ended; nothing runs on after it.
void PumpChunks(const platform::ByteFileReader& source, std::uint64_t length, const ChunkStep& step,
                platform::AtomicFileWriter& sink);

}  // namespace cipher
