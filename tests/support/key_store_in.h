#pragma once

#include "jobs/key_store.h"

#include <filesystem>

namespace testsupport {

// Settings of a key store in `folder`, with no pause.
[[nodiscard]] inline m_Decoder::KeyStoreSettings KeyStoreIn(const std::filesystem::path& folder) {
    m_Decoder::KeyStoreSettings settings;
    settings.folder = folder.string();
    return settings;
}

}  // namespace testsupport
