#include "ui/main/program_key_store.h"

#include "jobs/key_store_location.h"

#include <QCoreApplication>

#include <cstdlib>

namespace m_Decoder {

KeyStoreSettings ProgramKeyStoreSettings() {
    const std::string executable_folder = QCoreApplication::applicationDirPath().toStdString();
    return KeyStoreSettings{
        .folder = KeyFolder(executable_folder, ConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
        .pause_rounds = kSavePauseRounds,
        .yield = [] { QCoreApplication::processEvents(); },
    };
}

}  // namespace m_Decoder
