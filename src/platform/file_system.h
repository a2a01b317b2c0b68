#pragma once

#include "platform/atomic_file.h"
#include "platform/unique_fd.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The file-system object through which the program looks up, reads, writes
// and deletes its text files. Every failure is raised as a RuntimeError.
// Paths are UTF-8.
namespace platform {

enum class IOMode { kForReading = 1, kForWriting = 2 };
enum class Tristate { kUseDefault = -2, kTrue = -1, kFalse = 0 };

// An open text file. A stream for reading reads single-byte text; a stream
// for writing is written under a temporary name and takes the file's place
// only on Close(), so that a failure never leaves a half-written file.
class TextStream {
public:
    explicit TextStream(UniqueFd reading);
    explicit TextStream(std::unique_ptr<AtomicFileWriter> writing);

    // The text followed by CR LF.
    void WriteLine(std::string_view text);

    // Up to `characters` characters from the current position. At the end of
    // the stream it raises "Input past end of file".
    [[nodiscard]] std::string Read(std::size_t characters);

    // Releases the file; a stream for writing puts its file in place here.
    void Close();

private:
    UniqueFd reading_;
    std::unique_ptr<AtomicFileWriter> writing_;
};

// An existing file found by FileSystemObject::GetFile.
class File {
public:
    explicit File(std::filesystem::path path) : path_(std::move(path)) {}

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return path_; }

    // Only reading is offered: the program writes through CreateTextFile.
    [[nodiscard]] TextStream OpenAsTextStream(IOMode mode, Tristate format) const;

    // Removes the file's name. Without force, a read-only file (one without
    // its owner's write bit) is refused, even for a caller who could write it.
    void Delete(bool force) const;

private:
    std::filesystem::path path_;
};

class FileSystemObject {
public:
    // The existing regular file at `path`, through links. Raises "File not
    // found" for a missing file or a folder.
    [[nodiscard]] File GetFile(const std::string& path) const;

    // A new text file for writing, readable by its owner only: the program's
    // text files hold secrets. With `overwrite` an existing file is replaced
    // when the stream closes, unless it is read-only (no owner write bit,
    // refused even for a caller who could write it); without it an existing
    // file is an error.
    [[nodiscard]] TextStream CreateTextFile(const std::string& path, bool overwrite) const;
};

}  // namespace platform
