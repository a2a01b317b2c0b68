#pragma once

#include "platform/unique_fd.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace platform {

// Writes a new file under a temporary name in the destination's folder and
// puts it in place by one rename, so that the old file stays whole until the
// new one is complete. A writer that is destroyed without Commit() removes its
// temporary file and leaves the destination as it was.
//
// The temporary file is created owner-only and never through a link planted
// at its name; a destination that is a link is replaced as a name, so the
// file it points to is never written.
class AtomicFileWriter {
public:
    enum class Permissions {
        kLikeNewFile,  // what a newly created file would get under the umask
        kOwnerOnly,    // 0600, for files that hold secrets
    };

    // Throws RuntimeError when the temporary file cannot be created.
    AtomicFileWriter(std::filesystem::path destination, Permissions permissions);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Throws RuntimeError (disk full, I/O error). A long file is handed to
    // the disk as it grows, a few MiB behind the writing, so that Commit's
    // flush has little left to do and the cache holds few unwritten pages.
    void Write(std::string_view bytes);

    // Flushes the file to disk, sets its permissions and renames it over the
    // destination. Throws RuntimeError; the destination is then untouched.
    void Commit();

    [[nodiscard]] const std::filesystem::path& TemporaryPath() const noexcept { return temporary_; }

private:
    void Discard() noexcept;
    void StartWriteback() noexcept;

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    Permissions permissions_;
    UniqueFd fd_;
    std::uint64_t written_ = 0;
    std::uint64_t handed_to_disk_ = 0;
};

}  // namespace platform
