#pragma once

namespace zqcrypt {

// What the process returns; scripts tell a refused input from a failed job.
enum class ExitStatus : int {
    kSuccess = 0,
    kRefused = 1,    // a check failed: nothing was read or written
    kJobFailed = 2,  // the job ran and failed, or standard input/output/error failed
    kUsage = 64,     // the command line itself is wrong (EX_USAGE)
};

// Of two outcomes, the one the exit status must tell.
[[nodiscard]] constexpr ExitStatus Worse(ExitStatus a, ExitStatus b) noexcept {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

}  // namespace zqcrypt
