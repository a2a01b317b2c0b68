#include "platform/file_access.h"

#include "platform/runtime_error.h"
#include "platform/unfinished_files.h"
#include "platform/unique_fd.h"
#include "platform/writer_test_hooks.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";
constexpr int kProbeAttempts = 100;
constexpr mode_t kPermissionBits = 0777;

bool IsNoAcl(int errno_value) {
    return errno_value == ENODATA || IsUnsupported(errno_value);
}

// Reads an ACL through `get` (fgetxattr or lgetxattr with the size and buffer
// left to fill); none when the file has none or its file system holds none.
template <typename Get>
std::optional<std::string> ReadAcl(Get get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) {
            if (IsNoAcl(errno)) {
                return std::nullopt;
            }
            throw ErrorFromErrno(errno);
        }
        std::string acl(static_cast<std::size_t>(size), '\0');
        const ssize_t got = get(acl.data(), acl.size());
        if (got >= 0) {
            acl.resize(static_cast<std::size_t>(got));
            return acl;
        }
        if (IsNoAcl(errno)) {
            return std::nullopt;
        }
        if (errno != ERANGE) {  // ERANGE: it grew meanwhile; ask again
            throw ErrorFromErrno(errno);
        }
    }
}

// The empty probe file, removed when it goes.
class ProbeFile {
public:
    ProbeFile(int folder_fd, const std::filesystem::path& folder, std::string name, int fd)
        : folder_fd_(folder_fd), name_(std::move(name)), fd_(fd), unfinished_(folder / name_) {}
    ~ProbeFile() {
        fd_.Reset();
        (void)::unlinkat(folder_fd_, name_.c_str(), 0);
    }
    ProbeFile(const ProbeFile&) = delete;
    ProbeFile& operator=(const ProbeFile&) = delete;

    [[nodiscard]] int Fd() const noexcept { return fd_.Get(); }

private:
    int folder_fd_;
    std::string name_;
    UniqueFd fd_;
    UnfinishedFile unfinished_;
};

int ChangeMode(int fd, mode_t mode) {
    if (const int injected = publish::detail::InjectedError(publish::Call::kChangeMode); injected != 0) {
        errno = injected;
        return -1;
    }
    if (publish::detail::ModeChangeIgnored()) {
        return 0;
    }
    return ::fchmod(fd, mode);
}

void GiveOwner(int fd, uid_t owner, gid_t group) {
    struct stat info {};
    if (::geteuid() != 0 || ::fstat(fd, &info) != 0 || (info.st_uid == owner && info.st_gid == group)) {
        return;
    }
    // FAT holds no owners: it refuses a foreign one, or the call altogether.
    if (::fchown(fd, owner, group) != 0 && errno != EPERM && !IsUnsupported(errno)) {
        throw ErrorFromErrno(errno);
    }
}

void GiveAcl(int fd, const std::optional<std::string>& acl) {
    if (acl) {
        if (::fsetxattr(fd, kAccessAcl, acl->data(), acl->size(), 0) != 0 && !IsUnsupported(errno)) {
            throw ErrorFromErrno(errno);
        }
    } else if (::fremovexattr(fd, kAccessAcl) != 0 && !IsNoAcl(errno)) {
        // A file made under a folder's default ACL has an access ACL of its own.
        throw ErrorFromErrno(errno);
    }
}

}  // namespace

FileAccess NewFileAccess(int folder_fd, const std::filesystem::path& folder, mode_t mode,
                         const std::function<std::string()>& fresh_name) {
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
        std::string name = fresh_name();
        // As cp creates a file: the kernel applies the umask or the default ACL to the source's bits.
        const int fd = ::openat(folder_fd, name.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            throw ErrorFromErrno(errno);
        }
        const ProbeFile probe(folder_fd, folder, std::move(name), fd);
        struct stat info {};
        if (::fstat(probe.Fd(), &info) != 0) {
            throw ErrorFromErrno(errno);
        }
        return FileAccess{
            .mode = info.st_mode & kPermissionBits,
            .acl = ReadAcl(
                [&](char* value, std::size_t size) { return ::fgetxattr(probe.Fd(), kAccessAcl, value, size); }),
            .owner = info.st_uid,
            .group = info.st_gid,
        };
    }
    throw RuntimeError(err::kPathFileAccessError);
}

FileAccess ExistingFileAccess(const std::filesystem::path& path, const struct stat& info) {
    return FileAccess{
        .mode = info.st_mode & kPermissionBits,
        .acl =
            ReadAcl([&](char* value, std::size_t size) { return ::lgetxattr(path.c_str(), kAccessAcl, value, size); }),
        .owner = info.st_uid,
        .group = info.st_gid,
    };
}

void GiveAccess(int fd, const FileAccess& access, bool with_owner) {
    if (with_owner) {
        GiveOwner(fd, access.owner, access.group);  // first: a change of owner may clear mode bits
    }
    GiveAcl(fd, access.acl);
    const int mode_error = ChangeMode(fd, access.mode) == 0 ? 0 : errno;
    // The file system has the last word; what counts is what the file ends up with.
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw ErrorFromErrno(errno);
    }
    if ((info.st_mode & kPermissionBits & ~access.mode) != 0) {
        throw mode_error != 0 ? ErrorFromErrno(mode_error) : RuntimeError(err::kNotSupported);
    }
}

}  // namespace platform
