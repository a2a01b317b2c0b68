#pragma once

#include "zqcrypt/client_key.h"
#include "zqcrypt/console.h"
#include "zqcrypt/exit_status.h"

#include <span>
#include <string_view>

namespace zqcrypt {

// The whole program behind main(): parses `arguments` (those after the
// program name), runs the command and returns the exit status. Never throws.
// A failed write to standard output or error does not stop the command; it
// makes the status at least kJobFailed, and is reported once at the end.
[[nodiscard]] ExitStatus Run(std::span<const std::string_view> arguments, const KeySources& key_sources,
                             const Console& console) noexcept;

}  // namespace zqcrypt
