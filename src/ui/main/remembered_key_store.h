#pragma once

#include <functional>
#include <string>

namespace ui {

// Where Remember Key keeps the key. The window asks it for the key and the
// writer asks it to save and to forget; each request says when it is done,
// which may be before the call returns (a file) or later (a keyring, which
// answers over the session bus, perhaps after the user has unlocked it).
class RememberedKeyStore {
public:
    // The remembered key, or an empty string when there is none.
    using Loaded = std::function<void(const std::string& key)>;
    enum class Outcome {
        kSaved,
        kFailed,
        kRefused,  // the user would not let the key be stored
    };
    using Saved = std::function<void(Outcome outcome)>;
    using Deleted = std::function<void()>;
    // The unload's save may take the store's pause; the saves made while the
    // program runs never do.
    enum class When { kRunning, kUnload };

    RememberedKeyStore() = default;
    virtual ~RememberedKeyStore() = default;
    RememberedKeyStore(const RememberedKeyStore&) = delete;
    RememberedKeyStore& operator=(const RememberedKeyStore&) = delete;

    // Hands over the remembered key once it is known. Only the last of the
    // requests still waiting is answered.
    virtual void Load(Loaded loaded) = 0;
    virtual void Save(const std::string& key, When when, Saved saved) = 0;
    // Forgets the key; a key that cannot be forgotten stays, unannounced.
    virtual void Delete(When when, Deleted deleted) = 0;
};

}  // namespace ui
