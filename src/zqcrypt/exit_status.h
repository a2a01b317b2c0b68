#pragma once

namespace zqcrypt {

// What the process returns; scripts tell a refused input from a failed job.
enum class ExitStatus : int {
    kSuccess = 0,
    kRefused = 1,    // a check failed: nothing was read or written
    kJobFailed = 2,  // the job ran and failed, or standard input/output failed
    kUsage = 64,     // the command line itself is wrong (EX_USAGE)
};

}  // namespace zqcrypt
