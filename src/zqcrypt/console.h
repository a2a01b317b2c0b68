#pragma once

#include "platform/runtime_error.h"
#include "zqcrypt/exit_status.h"

#include <string_view>

namespace zqcrypt {

// The descriptors a command works on; tests hand in pipes and terminals.
struct Console {
    int in = 0;
    int out = 1;
    int err = 2;
};

// Writes "zqcrypt: <message>" and a line break to standard error, with the
// message's control characters other than LF shown as \xHH. A failure to
// write there is ignored: there is nowhere left to report it.
void Complain(const Console& console, std::string_view message) noexcept;

// "cannot write standard output: 61  Disk full". Standard output failing
// fails the command, as it would for any other tool.
void ComplainOutputFailed(const Console& console, const platform::RuntimeError& error) noexcept;

// Writes all of `text` to standard output; on a failure complains and gives
// kJobFailed.
[[nodiscard]] ExitStatus WriteOutput(const Console& console, std::string_view text) noexcept;

}  // namespace zqcrypt
