#pragma once

#include "platform/runtime_error.h"
#include "zqcrypt/exit_status.h"

#include <memory>
#include <optional>
#include <string_view>

namespace zqcrypt {

// What could not be written to standard output or error while a command ran.
// Status lines and messages are a report, not the work: a reader that went
// away (`| head -n 1`) must not stop a queue halfway, so the work goes on and
// the exit status tells the failure once the command is done.
class WriteFailures {
public:
    // Keeps the first failure of standard output, for the one report.
    void NoteOutput(const platform::RuntimeError& error) noexcept;
    void NoteError() noexcept { error_failed_ = true; }

    [[nodiscard]] bool OutputFailed() const noexcept { return output_failed_; }
    [[nodiscard]] bool Any() const noexcept { return output_failed_ || error_failed_; }
    [[nodiscard]] const std::optional<platform::RuntimeError>& OutputError() const noexcept { return output_error_; }

private:
    bool output_failed_ = false;
    bool error_failed_ = false;
    std::optional<platform::RuntimeError> output_error_;
};

// The descriptors a command works on; tests hand in pipes and terminals.
// Copies share one record of write failures, as they share the descriptors.
struct Console {
    int in = 0;
    int out = 1;
    int err = 2;
    std::shared_ptr<WriteFailures> failures = std::make_shared<WriteFailures>();
};

// Writes "zqcrypt: <message>" and a line break to standard error, with the
// message's control characters other than LF shown as \xHH: its own line
// breaks stay. A name put into a message is escaped there, line breaks and
// all, with util::EscapedText. A failure to write is only noted.
void Complain(const Console& console, std::string_view message) noexcept;

// "cannot write standard output: 56  Broken pipe".
void ComplainOutputFailed(const Console& console, const platform::RuntimeError& error) noexcept;

// Writes all of `text` to standard output, unless an earlier write there has
// failed already. A failure is noted for the end of the command and gives
// kJobFailed.
[[nodiscard]] ExitStatus WriteOutput(const Console& console, std::string_view text) noexcept;

// The status the command ends with once its write failures are counted, the
// failure of standard output reported on standard error.
[[nodiscard]] ExitStatus WithWriteFailures(const Console& console, ExitStatus status) noexcept;

}  // namespace zqcrypt
