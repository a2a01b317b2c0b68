#pragma once

#include "jobs/key_store.h"
#include "ui/main/remembered_key_store.h"

#include <QObject>

#include <cstdint>
#include <optional>

namespace ui {

// The keyring's name for the program and for its one entry; the README tells
// how to remove it.
inline constexpr const char* kKeyringService = "org.example.ZQDecoder";
inline constexpr const char* kKeyringEntry = "client-key";

// Whether a keyring already runs on the session bus: the Secret Service, or
// KWallet on a KDE desktop, where QtKeychain speaks to it directly. Nothing
// is started: on a session without one, asking would start it, or wait long
// for it.
[[nodiscard]] bool KeyringOnSessionBus();

// The remembered key in the desktop's keyring (GNOME Keyring, KWallet),
// through QtKeychain, as bytes. Every request runs beside the window; a
// locked keyring may first ask the user to unlock it.
//
// The keyring is read once, when the store is made; later loads answer with
// what was read or last saved. A key file left by an earlier run is moved in
// instead: its key is written to the keyring, and the file goes once the
// keyring has it.
class KeyringKeyStore : public QObject, public RememberedKeyStore {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyringKeyStore)

public:
    // `old_key_file` is where the key file of earlier runs would be.
    explicit KeyringKeyStore(m_Decoder::KeyStoreSettings old_key_file);
    ~KeyringKeyStore() override;

    void Load(Loaded loaded) override;
    void Save(const std::string& key, When when, Saved saved) override;
    void Delete(When when, Deleted deleted) override;

private:
    void Read();
    void Write(const std::string& key, Saved saved);
    void AnswerWaiting();

    m_Decoder::KeyStoreSettings old_key_file_;
    // What the keyring holds as far as this run knows: unknown until read,
    // empty for no key.
    std::optional<std::string> known_key_;
    // Requests the keyring has not answered yet.
    int pending_ = 0;
    // Saves and deletes asked for: a read that answers after one of them is out of date.
    std::uint64_t changes_ = 0;
    Loaded waiting_;
};

}  // namespace ui
