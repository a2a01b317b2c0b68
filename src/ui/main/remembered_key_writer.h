#pragma once

#include "jobs/key_store.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <string>

class QTimer;

namespace ui {

// Keeps the key file in step with the key box while Remember Key is checked,
// so that a remembered key survives an end that never reaches the unload, as
// when the display server goes first at logout.
//
// A save pauses and lets events run; whatever is asked for meanwhile (another
// save, forgetting the key, the unload's own save) waits until that save is
// done, so that an older key never lands after a newer request.
class RememberedKeyWriter : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RememberedKeyWriter)

public:
    // The key as it is stored: the key box's text, trimmed.
    using StoredKey = std::function<std::string()>;

    // How long the key box must stay unchanged before its key is written.
    static constexpr std::chrono::milliseconds kQuietTime{1000};

    RememberedKeyWriter(m_Decoder::KeyStoreSettings key_store, StoredKey stored_key, QObject& parent);

    // The key box changed: its key is written once it has been left alone for kQuietTime.
    void KeyEdited();
    // Writes the key now; a write that was waiting is no longer needed.
    void SaveNow();
    // Forgets the key now; a write that was waiting is dropped.
    void DeleteNow();
    // Does a write that is waiting, now.
    void Flush();

private:
    enum class Action { kNone, kSave, kDelete };

    void Run(Action action);

    m_Decoder::KeyStoreSettings key_store_;
    StoredKey stored_key_;
    QTimer* quiet_timer_ = nullptr;
    bool running_ = false;
    Action queued_ = Action::kNone;
};

}  // namespace ui
