#pragma once

#include <string>

// Where the remembered key lives. A portable install keeps it beside the
// executable, as the program always has; an installed program, or one in a
// folder that several users share, keeps it in the user's configuration
// folder instead. Save, Load and Delete all follow the same rule.
namespace m_Decoder {

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; empty when
// neither is known.
[[nodiscard]] std::string ConfigHome(const char* xdg_config_home, const char* home);

// Whether the executable's folder may keep the key file: it belongs to the
// user running the program, neither group nor others may write it, it is not
// under /usr, and the user can write it.
[[nodiscard]] bool MayHoldKeyFile(const std::string& folder);

// The executable's folder when it may keep the key file, else "zqdecoder" in
// the configuration folder; empty when there is neither.
[[nodiscard]] std::string KeyFolder(const std::string& executable_folder, const std::string& config_home);

}  // namespace m_Decoder
