#include "ui/main/key_store_location.h"

#include <QCoreApplication>

#include <cstdlib>
#include <unistd.h>

namespace m_Decoder {

std::string ConfigHome(const char* xdg_config_home, const char* home) {
    // A relative $XDG_CONFIG_HOME is invalid and to be ignored.
    if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
        return xdg_config_home;
    }
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config";
    }
    return {};
}

std::string KeyFolder(const std::string& executable_folder, const std::string& config_home) {
    if (!executable_folder.empty() && ::access(executable_folder.c_str(), W_OK) == 0) {
        return executable_folder;
    }
    if (config_home.empty()) {
        return {};
    }
    return config_home + "/zqdecoder";
}

KeyStoreSettings ProgramKeyStoreSettings() {
    const std::string executable_folder = QCoreApplication::applicationDirPath().toStdString();
    return KeyStoreSettings{
        .folder = KeyFolder(executable_folder, ConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
        .pause_rounds = kSavePauseRounds,
        .yield = [] { QCoreApplication::processEvents(); },
    };
}

}  // namespace m_Decoder
