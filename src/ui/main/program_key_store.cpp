#include "ui/main/program_key_store.h"

#include "jobs/key_store_location.h"
#include "ui/main/file_key_store.h"
#include "ui/main/keyring_key_store.h"

#include <QCoreApplication>

#include <cstdlib>

namespace ui {

std::unique_ptr<RememberedKeyStore> KeyStoreFor(const std::string& executable_folder, const std::string& config_home) {
    const m_Decoder::KeyStoreSettings key_file{
        .folder = m_Decoder::KeyFolder(executable_folder, config_home),
        .pause_rounds = kSavePauseRounds,
        .yield = [] { QCoreApplication::processEvents(); },
    };
    if (m_Decoder::MayHoldKeyFile(executable_folder) || !KeyringOnSessionBus()) {
        return std::make_unique<FileKeyStore>(key_file);
    }
    return std::make_unique<KeyringKeyStore>(key_file);
}

std::unique_ptr<RememberedKeyStore> ProgramKeyStore() {
    return KeyStoreFor(QCoreApplication::applicationDirPath().toStdString(),
                       m_Decoder::ConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

}  // namespace ui
