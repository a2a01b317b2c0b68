#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {

// Who may use a file: its permission bits, its access ACL and its owner.
struct FileAccess {
    mode_t mode = 0;                 // the permission bits, 0777 at most
    std::optional<std::string> acl;  // the raw system.posix_acl_access value, when the file has one
    uid_t owner = 0;
    gid_t group = 0;
};

// What the kernel gives a new file created with the permission bits `mode` in
// the folder, narrowed by the umask or the folder's default ACL: learnt from
// an empty probe file, created exclusively under a name from `fresh_name` in
// the folder open as `folder_fd`, and removed again. Throws RuntimeError.
[[nodiscard]] FileAccess NewFileAccess(int folder_fd, const std::filesystem::path& folder, mode_t mode,
                                       const std::function<std::string()>& fresh_name);

// The access of the existing file at `path`, whose lstat() is `info`.
// Throws RuntimeError.
[[nodiscard]] FileAccess ExistingFileAccess(const std::filesystem::path& path, const struct stat& info);

// Gives the open file `fd` this access: the owner and group too when
// `with_owner` and we are root. A file system that refuses or ignores part of
// it (FAT and exFAT give every file the mount's mode, and hold no owners) is
// no error, as long as the file ends up no wider open than `access.mode`.
// Throws RuntimeError otherwise.
void GiveAccess(int fd, const FileAccess& access, bool with_owner);

}  // namespace platform
