#pragma once

#include <string>

namespace zqcrypt {

// The short synopsis shown after a usage error.
[[nodiscard]] std::string UsageText();

// --help: the synopsis, the commands, where the key comes from, exit statuses.
[[nodiscard]] std::string HelpText();

}  // namespace zqcrypt
