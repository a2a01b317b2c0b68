#include "ui/main/file_key_store.h"

#include <utility>

namespace ui {

FileKeyStore::FileKeyStore(m_Decoder::KeyStoreSettings settings) : settings_(std::move(settings)) {}

void FileKeyStore::Load(Loaded loaded) {
    loaded(m_Decoder::LoadClientKey(settings_));
}

void FileKeyStore::Save(const std::string& key, When when, Saved saved) {
    m_Decoder::KeyStoreSettings settings = settings_;
    // A pause while the user types would hold back everything they do next,
    // clearing the mark included.
    if (when == When::kRunning) {
        settings.pause_rounds = 0;
    }
    saved(m_Decoder::SaveClientKey(key, settings) ? Outcome::kSaved : Outcome::kFailed);
}

void FileKeyStore::Delete(When /*when*/, Deleted deleted) {
    m_Decoder::DeleteClientKey(settings_);
    deleted();
}

}  // namespace ui
