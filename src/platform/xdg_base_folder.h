#pragma once

#include <string>
#include <string_view>

namespace platform {

// A base folder of the XDG rules: `value`, the text of its variable
// ($XDG_CONFIG_HOME, $XDG_DATA_HOME), when it is an absolute path, else
// `below_home` inside `home` (".config", ".local/share"); empty when neither
// is known.
[[nodiscard]] std::string XdgBaseFolder(const char* value, const char* home, std::string_view below_home);

}  // namespace platform
