#include "zqcrypt/job_report.h"

#include "platform/runtime_error.h"
#include "util/escaped_text.h"
#include "zqcrypt/fd_io.h"

#include <chrono>

namespace zqcrypt {
namespace {

[[nodiscard]] std::optional<ProgressDisplay> ProgressOnTerminal(const Console& console) {
    if (!IsTerminal(console.err)) {
        return std::nullopt;
    }
    return ProgressDisplay(
        [fd = console.err, failures = console.failures](std::string_view text) {
            try {
                WriteAll(fd, text);
            } catch (const platform::RuntimeError&) {
                // A progress line that cannot be drawn is no reason to stop.
                failures->NoteError();
            }
        },
        [] { return std::chrono::steady_clock::now(); });
}

}  // namespace

JobReport::JobReport(const Console& console, bool quiet)
    : console_(&console), quiet_(quiet), progress_(quiet ? std::nullopt : ProgressOnTerminal(console)) {}

void JobReport::Status(const std::string& line) {
    ClearProgress();
    if (!quiet_) {
        (void)WriteOutput(*console_, util::EscapedText(line) + "\n");
    }
}

void JobReport::Progress(std::uint64_t done, std::uint64_t total) {
    if (progress_) {
        progress_->Update(done, total);
    }
}

void JobReport::ClearProgress() {
    if (progress_) {
        progress_->Clear();
    }
}

}  // namespace zqcrypt
