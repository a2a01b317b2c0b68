#include "platform/file_system.h"

#include "platform/native_path.h"
#include "platform/runtime_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

TextStream::TextStream(UniqueFd reading) : reading_(std::move(reading)) {}

TextStream::TextStream(std::unique_ptr<AtomicFileWriter> writing) : writing_(std::move(writing)) {}

void TextStream::WriteLine(std::string_view text) {
    if (!writing_) {
        throw RuntimeError(err::kBadFileName);
    }
    writing_->Write(text);
    writing_->Write("\r\n");
}

std::string TextStream::Read(std::size_t characters) {
    if (!reading_.Valid()) {
        throw RuntimeError(err::kBadFileName);
    }
    std::string text(characters, '\0');
    std::size_t filled = 0;
    while (filled < characters) {
        const ssize_t got = ::read(reading_.Get(), text.data() + filled, characters - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErrorFromErrno(errno);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    if (filled == 0 && characters > 0) {
        throw RuntimeError(err::kInputPastEndOfFile);
    }
    text.resize(filled);
    return text;
}

void TextStream::Close() {
    reading_.Reset();
    if (writing_) {
        // Drop the writer even when the commit fails: its destructor removes the temporary file.
        const std::unique_ptr<AtomicFileWriter> writer = std::move(writing_);
        writer->Commit();
    }
}

TextStream File::OpenAsTextStream(IOMode mode, Tristate /*format: all text here is single-byte*/) const {
    if (mode != IOMode::kForReading) {
        throw RuntimeError(err::kInvalidProcedureCall);
    }
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw ErrorFromErrno(errno);
    }
    return TextStream(UniqueFd(fd));
}

void File::Delete(bool force) const {
    struct stat info {};
    if (::lstat(path_.c_str(), &info) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (!force && !S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
        throw RuntimeError(err::kPermissionDenied);
    }
    if (::unlink(path_.c_str()) != 0) {
        throw ErrorFromErrno(errno);
    }
}

File FileSystemObject::GetFile(const std::string& path) const {
    if (path.empty()) {
        throw RuntimeError(err::kInvalidProcedureCall);
    }
    std::filesystem::path native = PathFromUtf8(path);
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0) {
        throw ErrorFromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw RuntimeError(err::kFileNotFound);
    }
    return File(std::move(native));
}

TextStream FileSystemObject::CreateTextFile(const std::string& path, bool overwrite) const {
    if (path.empty()) {
        throw RuntimeError(err::kInvalidProcedureCall);
    }
    std::filesystem::path native = PathFromUtf8(path);
    struct stat info {};
    if (::lstat(native.c_str(), &info) == 0) {
        if (!overwrite) {
            throw RuntimeError(err::kFileAlreadyExists);
        }
        // A read-only file is not overwritten, as Delete(false) does not remove it.
        if (S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
            throw RuntimeError(err::kPermissionDenied);
        }
    }
    return TextStream(std::make_unique<AtomicFileWriter>(std::move(native), AtomicFileWriter::Permissions::kOwnerOnly));
}

}  // namespace platform
