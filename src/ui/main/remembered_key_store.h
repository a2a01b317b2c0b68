#pragma once

#include <functional>
#include <string>

namespace ui {

// Where Remember Key keeps the key. The writer asks it to save and to
// forget; each request says when it is done, which may be before the call
// returns (a file) or later (a service that answers on its own time).
class RememberedKeyStore {
public:
    // Whether the key was saved.
    using Saved = std::function<void(bool saved)>;
    using Deleted = std::function<void()>;
    // The save at unload may take the store's pause; the saves made while
    // the program runs never do.
    enum class When { kRunning, kUnload };

    RememberedKeyStore() = default;
    virtual ~RememberedKeyStore() = default;
    RememberedKeyStore(const RememberedKeyStore&) = delete;
    RememberedKeyStore& operator=(const RememberedKeyStore&) = delete;

    // The remembered key, or an empty string when there is none.
    [[nodiscard]] virtual std::string Load() = 0;
    virtual void Save(const std::string& key, When when, Saved saved) = 0;
    // Forgets the key; a key that cannot be forgotten stays, unannounced.
    virtual void Delete(Deleted deleted) = 0;
};

}  // namespace ui
