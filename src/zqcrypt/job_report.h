#pragma once

#include "zqcrypt/console.h"
#include "zqcrypt/progress_display.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zqcrypt {

// Where a file command's job reports: its status lines on standard output and
// its progress on standard error when that is a terminal, neither with
// --quiet. Status lines are a report, not the work: once standard output has
// failed the job goes on without them, and the command's end reports the
// failure.
class JobReport {
public:
    explicit JobReport(const Console& console, bool quiet);

    void Status(const std::string& line);
    void Progress(std::uint64_t done, std::uint64_t total);
    // Erases the progress line, so that whatever follows starts clean.
    void ClearProgress();

private:
    const Console* console_ = nullptr;
    bool quiet_ = false;
    std::optional<ProgressDisplay> progress_;
};

}  // namespace zqcrypt
