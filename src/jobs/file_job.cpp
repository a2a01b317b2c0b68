#include "jobs/file_job.h"

#include "platform/file_system.h"
#include "platform/runtime_error.h"

#include <new>
#include <string_view>

namespace m_Decoder {
namespace {

// What tells the two jobs apart in the status list and in their error texts.
struct JobWords {
    std::string_view working;
    std::string_view error_prefix;
    std::string_view duration;
};

constexpr JobWords kDecryptWords{"Decrypting file: ", "DecryptError: ", "File decryption duration: "};
constexpr JobWords kEncryptWords{"Encrypting file: ", "EncryptError: ", "File encryption duration: "};

[[nodiscard]] std::string TwoDigits(long long value) {
    std::string digits = std::to_string(value);
    if (value < 10) {
        digits.insert(digits.begin(), '0');
    }
    return digits;
}

}  // namespace

std::chrono::sys_seconds SystemWallClock() {
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

std::string FormatElapsed(std::chrono::seconds elapsed) {
    constexpr long long kSecondsPerDay = 24LL * 60 * 60;
    long long seconds = elapsed.count();
    if (seconds < 0) {
        seconds = -seconds;
    }
    seconds %= kSecondsPerDay;
    return std::to_string(seconds / 3600) + ":" + TwoDigits(seconds / 60 % 60) + ":" + TwoDigits(seconds % 60);
}

std::string RunFileJob(FileJob job, const std::string& SourceFile, const std::string& DestFile, const std::string& skey,
                       const FileJobOptions& options) {
    const JobWords& words = job == FileJob::kDecrypt ? kDecryptWords : kEncryptWords;
    const StatusSink& status = options.status;
    const WallClock& clock = options.clock;
    try {
        const std::chrono::sys_seconds start = clock();
        status("Getting file: " + SourceFile);

        // The entry found is not used: looking it up confirms that the source
        // is still there and can be reached before the container reads it.
        const platform::FileSystemObject fso;
        (void)fso.GetFile(SourceFile);

        status(std::string(words.working) + SourceFile);
        const std::string error =
            job == FileJob::kDecrypt
                ? m_Encryption::DecryptFileWithSalt(SourceFile, DestFile, skey, options.progress, options.clear_head)
                : m_Encryption::EncryptFileWithSalt(SourceFile, DestFile, skey, options.progress);
        if (!error.empty()) {
            return std::string(words.error_prefix) + error;
        }

        status("Created file: " + DestFile);
        status(std::string(words.duration) + FormatElapsed(clock() - start));
        status("");  // sets this job apart from the next one in the list
        return {};
    } catch (const platform::RuntimeError& e) {
        return std::string(words.error_prefix) + platform::ErrorText(e);
    } catch (const std::bad_alloc&) {
        return std::string(words.error_prefix) +
               platform::ErrorText(platform::RuntimeError(platform::err::kOutOfMemory));
    }
}

}  // namespace m_Decoder
