#pragma once

#include "platform/unfinished_files.h"
#include "platform/unique_fd.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// Writes a new file in the destination's folder and gives it its name only
// once it is complete and on the disk, so that the name never shows a
// half-written file. A writer that is destroyed without Commit() leaves the
// folder as it was.
//
// The file is written without a name (O_TMPFILE), so that even a process
// killed outright leaves nothing behind. File systems without unnamed files
// get a named temporary file instead, created owner-only and never through a
// link planted at its name; it is opened up to what the new file would have
// got only once it is complete.
class AtomicFileWriter {
public:
    enum class Permissions {
        // What the kernel gives a new file created there with the source's
        // permission bits, as cp makes a copy: the umask, or the folder's
        // default ACL, narrows them.
        kLikeNewFile,
        kOwnerOnly,  // 0600, for files that hold secrets
    };

    // What Commit() does when the destination's name is taken.
    enum class Existing {
        kReplaceName,  // the name is replaced, whatever it is: a link goes, its target stays
        kKeep,         // nothing is replaced: "File already exists"
        // only a regular file of the caller's own (any, for root) that its owner
        // may write; it keeps its mode, access ACL, owner and group
        kReplaceWritableFile,
    };

    // Throws RuntimeError when the file cannot be created, when the
    // destination is already one that Commit() would refuse, or when the
    // destination's file system cannot hold a file of `final_size` bytes.
    // `source_mode` holds the permission bits of the file that this one is
    // made from, for kLikeNewFile; 0666 gives what any new file there gets.
    AtomicFileWriter(const std::filesystem::path& destination, Permissions permissions,
                     Existing existing = Existing::kReplaceName, std::optional<std::uint64_t> final_size = {},
                     mode_t source_mode = 0666);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Throws RuntimeError (disk full, I/O error). A long file is handed to
    // the disk as it grows, a few MiB behind the writing, so that Commit's
    // flush has little left to do and the cache holds few unwritten pages.
    void Write(std::string_view bytes);

    // Flushes the file to disk, gives it its access (never wider than a new
    // file there, or the replaced file, would have), gives it the
    // destination's name and syncs the folder, so that the name outlasts a
    // power cut. Throws RuntimeError; the destination is then untouched.
    void Commit();

    // The named temporary file; empty while the file is written without a name.
    [[nodiscard]] const std::filesystem::path& TemporaryPath() const noexcept { return temporary_; }

private:
    void OpenNamedTemporary();
    void CheckRoomFor(std::uint64_t size) const;
    void CheckExisting() const;
    void GiveFinalAccess();
    void Publish();
    void SyncFolder() const noexcept;
    [[nodiscard]] bool PlaceIfFree();
    [[nodiscard]] bool MoveNamedTemporaryIfFree();
    void Replace();
    [[nodiscard]] std::string NewTemporaryName() const;
    void Discard() noexcept;
    void StartWriteback() noexcept;

    std::filesystem::path folder_;
    std::string name_;
    Permissions permissions_;
    Existing existing_;
    mode_t source_mode_;
    UniqueFd folder_fd_;
    std::filesystem::path temporary_;
    std::optional<UnfinishedFile> unfinished_;
    UniqueFd fd_;
    std::uint64_t written_ = 0;
    std::uint64_t handed_to_disk_ = 0;
};

}  // namespace platform
