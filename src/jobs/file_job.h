#pragma once

#include "cipher/file_container.h"

#include <chrono>
#include <functional>
#include <string>

// The jobs behind the attachment window's Decode and Encode: decrypt an
// encrypted attachment into a new file, or encrypt a file into one, reporting
// each step as a status line and timing the work. They need nothing of a
// window, so that any front end can run the same jobs.
namespace m_Decoder {

enum class FileJob { kDecrypt, kEncrypt };

// Receives each status line as it happens, in UTF-8. An empty line counts.
using StatusSink = std::function<void(const std::string& sText)>;

// The wall clock, read to the second. Tests pass their own instants.
using WallClock = std::function<std::chrono::sys_seconds()>;

[[nodiscard]] std::chrono::sys_seconds SystemWallClock();

// The time-of-day part of a duration, as "h:nn:ss": whole days drop out, so
// hours run from 0 to 23. A clock set back in between gives the size of the step.
[[nodiscard]] std::string FormatElapsed(std::chrono::seconds elapsed);

// How a job reports and what it hands back besides its result; a caller
// names what it sets: `{.status = log, .progress = bar}`.
struct FileJobOptions {
    StatusSink status;
    WallClock clock = SystemWallClock;
    m_Encryption::Progress progress = {};
    // A decrypt job fills this, when given, with the first clear bytes it wrote.
    m_Encryption::ClearHead* clear_head = nullptr;
};

// Runs one job to its end and returns "" when the destination was written.
// Any failure gives "DecryptError: " or "EncryptError: " followed by the
// error's number, two spaces and its description; the lines already sent
// stand, and the job says nothing more. It never throws. The caller has
// checked the paths and the key; the job only confirms that the source can
// still be reached.
[[nodiscard]] std::string RunFileJob(FileJob job, const std::string& SourceFile, const std::string& DestFile,
                                     const std::string& skey, const FileJobOptions& options);

}  // namespace m_Decoder
