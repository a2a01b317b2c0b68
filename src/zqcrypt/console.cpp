#include "zqcrypt/console.h"

#include "util/escaped_text.h"
#include "zqcrypt/fd_io.h"

#include <exception>
#include <string>

namespace zqcrypt {

void WriteFailures::NoteOutput(const platform::RuntimeError& error) noexcept {
    output_failed_ = true;
    if (output_error_) {
        return;
    }
    try {
        output_error_ = error;
    } catch (const std::exception&) {
        // The failure is still counted; only its text is lost.
    }
}

void Complain(const Console& console, std::string_view message) noexcept {
    try {
        WriteAll(console.err, "zqcrypt: " + util::EscapedText(message, true) + "\n");
    } catch (const std::exception&) {
        // Standard error is gone; the exit status still tells the caller.
        console.failures->NoteError();
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
    if (console.failures->OutputFailed()) {
        return ExitStatus::kJobFailed;
    }
    try {
        WriteAll(console.out, text);
    } catch (const platform::RuntimeError& error) {
        console.failures->NoteOutput(error);
        return ExitStatus::kJobFailed;
    }
    return ExitStatus::kSuccess;
}

ExitStatus WithWriteFailures(const Console& console, ExitStatus status) noexcept {
    const WriteFailures& failures = *console.failures;
    if (failures.OutputError()) {
        ComplainOutputFailed(console, *failures.OutputError());
    }
    return failures.Any() ? Worse(status, ExitStatus::kJobFailed) : status;
}

}  // namespace zqcrypt
