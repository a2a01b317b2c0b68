#pragma once

#include <string>

namespace zqcrypt {

// "4.02.4015": the version as the desktop program shows it.
[[nodiscard]] std::string VersionText();

// The short synopsis shown after a usage error.
[[nodiscard]] std::string UsageText();

// --help: the synopsis, the commands, where the key comes from, exit statuses.
[[nodiscard]] std::string HelpText();

}  // namespace zqcrypt
