#include "zqcrypt/console.h"

#include "util/escaped_text.h"
#include "zqcrypt/fd_io.h"

#include <exception>
#include <string>

namespace zqcrypt {

void Complain(const Console& console, std::string_view message) noexcept {
    try {
        WriteAll(console.err, "zqcrypt: " + util::EscapedText(message, true) + "\n");
    } catch (const std::exception&) {
        // Standard error is gone; the exit status still tells the caller.
    }
}

void ComplainOutputFailed(const Console& console, const platform::RuntimeError& error) noexcept {
    try {
        Complain(console, "cannot write standard output: " + platform::ErrorText(error));
    } catch (const std::exception&) {
        // Not even the message could be made; the exit status remains.
    }
}

ExitStatus WriteOutput(const Console& console, std::string_view text) noexcept {
    try {
        WriteAll(console.out, text);
    } catch (const platform::RuntimeError& error) {
        ComplainOutputFailed(console, error);
        return ExitStatus::kJobFailed;
    }
    return ExitStatus::kSuccess;
}

}  // namespace zqcrypt
