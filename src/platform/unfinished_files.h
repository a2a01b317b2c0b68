#pragma once

#include <filesystem>

namespace platform {

// The names of files that are being written under a temporary name, kept
// where a signal handler can reach them: a program that a signal ends can
// remove them on its way out. Files without a name (the usual case) need no
// such care, since the system drops them with the process.
class UnfinishedFile {
public:
    // Remembers `path` until the object goes. A path too long for the list,
    // or a list already full, is not remembered: removal is a courtesy.
    explicit UnfinishedFile(const std::filesystem::path& path) noexcept;
    ~UnfinishedFile();
    UnfinishedFile(const UnfinishedFile&) = delete;
    UnfinishedFile& operator=(const UnfinishedFile&) = delete;

private:
    int slot_ = -1;
};

// Removes every unfinished file remembered now. Safe in a signal handler; the
// process is expected to end right after.
void RemoveUnfinishedFiles() noexcept;

}  // namespace platform
