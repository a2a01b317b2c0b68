#include "platform/atomic_file.h"

#include "platform/runtime_error.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
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

// The process's umask, read without changing it (umask() can only be read by
// setting it, which would race with other threads creating files).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 022;
}

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

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path destination, Permissions permissions)
    : destination_(std::move(destination)), permissions_(permissions) {
    std::filesystem::path folder = destination_.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    // A long name leaves no room for the decoration within the file system's name limit.
    std::string name = destination_.filename().string();
    if (name.size() > kLongestNameKept) {
        name = "zq";
    }
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::filesystem::path candidate = folder / ("." + name + "." + RandomSuffix() + ".tmp");
        // O_EXCL refuses any existing name, a planted link included.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd_.Reset(fd);
            temporary_ = std::move(candidate);
            return;
        }
        if (errno != EEXIST) {
            throw ErrorFromErrno(errno);
        }
    }
    throw RuntimeError(err::kPathFileAccessError);
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
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
    const mode_t mode = permissions_ == Permissions::kOwnerOnly ? 0600 : (0666 & ~CurrentUmask());
    if (::fchmod(fd_.Get(), mode) != 0 || ::fsync(fd_.Get()) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (const int close_error = fd_.Close(); close_error != 0) {
        throw ErrorFromErrno(close_error);
    }
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        throw ErrorFromErrno(errno);
    }
    temporary_.clear();
}

void AtomicFileWriter::Discard() noexcept {
    fd_.Reset();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace platform
