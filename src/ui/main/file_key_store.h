#pragma once

#include "jobs/key_store.h"
#include "ui/main/remembered_key_store.h"

namespace ui {

// The remembered key in its file, through the key store of the jobs. Every
// request is done before it returns.
class FileKeyStore : public RememberedKeyStore {
public:
    explicit FileKeyStore(m_Decoder::KeyStoreSettings settings);

    void Load(Loaded loaded) override;
    void Save(const std::string& key, When when, Saved saved) override;
    void Delete(When when, Deleted deleted) override;

private:
    m_Decoder::KeyStoreSettings settings_;
};

}  // namespace ui
