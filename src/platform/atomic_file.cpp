#include "platform/atomic_file.h"

#include "platform/file_access.h"
#include "platform/runtime_error.h"
#include "platform/writer_test_hooks.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

constexpr int kCreateAttempts = 100;
constexpr std::uint64_t kWritebackWindow = std::uint64_t{8} << 20;
// Windows handed to the disk before the writer waits for the oldest of them:
// enough to keep the disk's queue full, few enough that the cache holds little
// unwritten data and Commit's flush is short.
constexpr std::uint64_t kWindowsInFlight = 4;
constexpr std::size_t kLongestNameKept = 200;

std::string RandomSuffix() {
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string suffix(8, '0');
    for (char& c : suffix) {
        c = kAlphabet[pick(device)];
    }
    return suffix;
}

// How an unnamed file is reached by name: linkat() through /proc follows this
// link without the capability that AT_EMPTY_PATH needs.
std::string ProcPathOf(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// A call that the publish seam may fail with a chosen errno.
template <typename Call>
int UnlessInjected(publish::Call which, Call call) {
    if (const int injected = publish::detail::InjectedError(which); injected != 0) {
        errno = injected;
        return -1;
    }
    return call();
}

// A file without a name, in the folder; an invalid descriptor where the file
// system has no such files (or /proc, through which it is named, is missing).
// It can be created with its final mode, since nothing can open it before it
// has a name.
UniqueFd OpenUnnamed(int folder_fd, mode_t mode) {
    // No O_EXCL: with it the file could never be linked into the folder.
    UniqueFd fd(UnlessInjected(publish::Call::kUnnamedOpen,
                               [&] { return ::openat(folder_fd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode); }));
    if (!fd.Valid()) {
        if (IsUnsupported(errno) || errno == EISDIR) {
            return {};
        }
        throw ErrorFromErrno(errno);
    }
    struct stat info {};
    if (::stat(ProcPathOf(fd.Get()).c_str(), &info) != 0) {
        return {};
    }
    return fd;
}

// Whether a taken name may be replaced: a regular file that its owner may
// write, the same test as File::Delete's, and that is the caller's own, since
// a rename cannot keep another user's ownership. Root may replace any, and
// gives it back its owner. Anything else stays as it is.
void CheckReplaceable(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        throw RuntimeError(err::kPathFileAccessError);
    }
    const uid_t caller = ::geteuid();
    if ((info.st_mode & S_IWUSR) == 0 || (info.st_uid != caller && caller != 0)) {
        throw RuntimeError(err::kPermissionDenied);
    }
}

// False for a failure that says the name is taken; throws for any other.
bool TakenOrThrow(int errno_value) {
    if (errno_value == EEXIST) {
        return false;
    }
    throw ErrorFromErrno(errno_value);
}

void SyncToDisk(int fd) {
    if (const int injected = publish::detail::InjectedSyncError(); injected != 0) {
        throw ErrorFromErrno(injected);
    }
    if (::fsync(fd) != 0) {
        throw ErrorFromErrno(errno);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& destination, Permissions permissions, Existing existing,
                                   std::optional<std::uint64_t> final_size, mode_t source_mode)
    : folder_(destination.parent_path()),
      name_(destination.filename().string()),
      permissions_(permissions),
      existing_(existing),
      source_mode_(source_mode & 0777) {
    if (folder_.empty()) {
        folder_ = ".";
    }
    if (name_.empty()) {
        name_.assign(1, '.');  // a path that ends in a separator names a folder
    }
    // The folder is held open, so the file is published where it was begun.
    folder_fd_.Reset(::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder_fd_.Valid()) {
        throw ErrorFromErrno(errno);
    }
    if (final_size) {
        CheckRoomFor(*final_size);
    }
    fd_ = OpenUnnamed(folder_fd_.Get(), permissions_ == Permissions::kOwnerOnly ? 0600 : source_mode_);
    if (!fd_.Valid()) {
        OpenNamedTemporary();
    }
    try {
        CheckExisting();
    } catch (...) {
        Discard();  // no destructor runs for a writer that was never made
        throw;
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::OpenNamedTemporary() {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string candidate = NewTemporaryName();
        // O_EXCL refuses any existing name, a planted link included.
        const int fd =
            ::openat(folder_fd_.Get(), candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd_.Reset(fd);
            temporary_ = folder_ / candidate;
            unfinished_.emplace(temporary_);
            return;
        }
        if (errno != EEXIST) {
            throw ErrorFromErrno(errno);
        }
    }
    throw RuntimeError(err::kPathFileAccessError);
}

std::string AtomicFileWriter::NewTemporaryName() const {
    // A long name leaves no room for the decoration within the file system's name limit.
    const std::string name = name_.size() > kLongestNameKept ? std::string("zq") : name_;
    return "." + name + "." + RandomSuffix() + ".tmp";
}

// Refuses at once a file that the destination's file system cannot hold (FAT
// stops short of 4 GiB), rather than fail when the disk is written.
void AtomicFileWriter::CheckRoomFor(std::uint64_t size) const {
    const long bits = ::fpathconf(folder_fd_.Get(), _PC_FILESIZEBITS);
    constexpr long kBitsOfSize = 64;
    if (bits > 0 && bits < kBitsOfSize && size > (std::uint64_t{1} << bits) - 1) {
        throw RuntimeError(err::kFileTooLarge);
    }
}

// Refuses at once a destination that publishing would refuse, before any work is done.
void AtomicFileWriter::CheckExisting() const {
    if (existing_ == Existing::kReplaceName) {
        return;
    }
    struct stat info {};
    if (::fstatat(folder_fd_.Get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return;  // free, or unreachable: publishing will tell
    }
    if (existing_ == Existing::kKeep) {
        throw RuntimeError(err::kFileAlreadyExists);
    }
    CheckReplaceable(info);
}

// A replaced file keeps its access. A new file has what the kernel gave it,
// unless it was written under a temporary name, owner-only: it then gets what
// a file created there with the same mode gets, found with a probe.
void AtomicFileWriter::GiveFinalAccess() {
    if (permissions_ == Permissions::kOwnerOnly) {
        GiveAccess(fd_.Get(), FileAccess{.mode = 0600, .acl = std::nullopt, .owner = 0, .group = 0}, false);
        return;
    }
    if (existing_ == Existing::kReplaceWritableFile) {
        struct stat info {};
        if (::fstatat(folder_fd_.Get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            CheckReplaceable(info);
            GiveAccess(fd_.Get(), ExistingFileAccess(folder_ / name_, info), true);
            return;
        }
    }
    if (!temporary_.empty()) {
        GiveAccess(fd_.Get(),
                   NewFileAccess(folder_fd_.Get(), folder_, source_mode_, [this] { return NewTemporaryName(); }),
                   false);
    }
}

void AtomicFileWriter::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_.Get(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErrorFromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        written_ += static_cast<std::uint64_t>(written);
    }
    StartWriteback();
}

void AtomicFileWriter::StartWriteback() noexcept {
#ifdef __linux__
    // Each full window is handed to the disk at once; the writer waits only
    // for the window kWindowsInFlight behind it, so a disk that keeps up never
    // stops it. Failures here are only lost hints: Commit's fsync reports errors.
    constexpr std::uint64_t kLag = kWindowsInFlight * kWritebackWindow;
    while (written_ - handed_to_disk_ >= kWritebackWindow) {
        const auto window = static_cast<off_t>(kWritebackWindow);
        (void)::sync_file_range(fd_.Get(), static_cast<off_t>(handed_to_disk_), window, SYNC_FILE_RANGE_WRITE);
        if (handed_to_disk_ >= kLag) {
            (void)::sync_file_range(fd_.Get(), static_cast<off_t>(handed_to_disk_ - kLag), window,
                                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        }
        handed_to_disk_ += kWritebackWindow;
    }
#endif
}

void AtomicFileWriter::Commit() {
    GiveFinalAccess();
    // Without this a power cut after the rename could leave an empty file
    // where the user's file was.
    SyncToDisk(fd_.Get());
    if (!temporary_.empty()) {
        if (const int close_error = fd_.Close(); close_error != 0) {
            throw ErrorFromErrno(close_error);
        }
    }
    publish::detail::RunBeforePublishing();
    Publish();
    // An unnamed file is closed only now that it has its name; its data are
    // already on the disk, so a late close error changes nothing.
    fd_.Reset();
    temporary_.clear();
    unfinished_.reset();
    SyncFolder();
}

// Makes the new name outlast a power cut. A failure is not reported: the
// file is already in place under its name and can be read, and an error
// would tell the caller that the destination is as it was, so that a job
// would be reported failed while its file stands there. All that is at stake
// is the name, should the power fail before the kernel writes the folder back
// by itself. A file system that cannot sync a folder (EINVAL) and a folder
// that cannot be read (EACCES) are the common cases.
void AtomicFileWriter::SyncFolder() const noexcept {
    // fsync() takes no O_PATH descriptor.
    const UniqueFd folder(::openat(folder_fd_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int error = 0;
    if (!folder.Valid() || UnlessInjected(publish::Call::kFolderSync, [&] { return ::fsync(folder.Get()); }) != 0) {
        error = errno;
    }
    publish::detail::FolderSynced(error);
}

void AtomicFileWriter::Publish() {
    if (existing_ == Existing::kReplaceName) {
        Replace();
        return;
    }
    // A name taken meanwhile is looked at afresh: it may have gone again.
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        if (PlaceIfFree()) {
            return;
        }
        if (existing_ == Existing::kKeep) {
            throw RuntimeError(err::kFileAlreadyExists);
        }
        struct stat info {};
        if (::fstatat(folder_fd_.Get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            CheckReplaceable(info);
            Replace();
            return;
        }
        if (errno != ENOENT) {
            throw ErrorFromErrno(errno);
        }
    }
    throw RuntimeError(err::kPathFileAccessError);
}

// Gives the file the destination's name if no file has it; false when one has.
bool AtomicFileWriter::PlaceIfFree() {
    if (!temporary_.empty()) {
        return MoveNamedTemporaryIfFree();
    }
    if (::linkat(AT_FDCWD, ProcPathOf(fd_.Get()).c_str(), folder_fd_.Get(), name_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    return TakenOrThrow(errno);
}

// PlaceIfFree for the named temporary file.
bool AtomicFileWriter::MoveNamedTemporaryIfFree() {
    const int folder = folder_fd_.Get();
    const std::string temporary = temporary_.filename().string();
    if (UnlessInjected(publish::Call::kRenameNoReplace, [&] {
            return ::renameat2(folder, temporary.c_str(), folder, name_.c_str(), RENAME_NOREPLACE);
        }) == 0) {
        return true;
    }
    if (errno != EINVAL && !IsUnsupported(errno)) {
        return TakenOrThrow(errno);
    }
    // The file system cannot move a name only where none is: a link does the same.
    if (UnlessInjected(publish::Call::kLink,
                       [&] { return ::linkat(folder, temporary.c_str(), folder, name_.c_str(), 0); }) == 0) {
        (void)::unlinkat(folder, temporary.c_str(), 0);
        return true;
    }
    if (errno != EPERM && !IsUnsupported(errno)) {
        return TakenOrThrow(errno);
    }
    // Nor links (FAT, exFAT): a plain rename, once the name is seen free. A
    // file that another program puts there between the look and the rename is
    // lost; on such file systems this window cannot be closed.
    struct stat info {};
    if (::fstatat(folder, name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        return false;
    }
    if (errno != ENOENT || ::renameat(folder, temporary.c_str(), folder, name_.c_str()) != 0) {
        throw ErrorFromErrno(errno);
    }
    return true;
}

// Puts the file in the destination's place by one rename, so that the old
// file stays whole until then. An unnamed file is first linked under a
// temporary name of its own.
void AtomicFileWriter::Replace() {
    const int folder = folder_fd_.Get();
    if (temporary_.empty()) {
        for (int attempt = 0; attempt < kCreateAttempts && temporary_.empty(); ++attempt) {
            const std::string candidate = NewTemporaryName();
            if (::linkat(AT_FDCWD, ProcPathOf(fd_.Get()).c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temporary_ = folder_ / candidate;
                unfinished_.emplace(temporary_);
            } else if (errno != EEXIST) {
                throw ErrorFromErrno(errno);
            }
        }
        if (temporary_.empty()) {
            throw RuntimeError(err::kPathFileAccessError);
        }
    }
    const std::string temporary = temporary_.filename().string();
    if (::renameat(folder, temporary.c_str(), folder, name_.c_str()) != 0) {
        throw ErrorFromErrno(errno);  // Discard() removes the temporary name
    }
}

void AtomicFileWriter::Discard() noexcept {
    fd_.Reset();
    if (!temporary_.empty()) {
        (void)::unlinkat(folder_fd_.Get(), temporary_.filename().c_str(), 0);
        temporary_.clear();
    }
    unfinished_.reset();
}

}  // namespace platform
