#pragma once

#include "ui/main/remembered_key_store.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class QTimer;

namespace ui {

// Keeps the remembered key in step with the key box while Remember Key is
// checked, so that it survives an end that never reaches the unload, as
// when the display server goes first at logout.
//
// One request runs at a time. Whatever is asked for meanwhile (another
// save, forgetting the key, the unload's own save) waits until it is done,
// and only the last of those runs, so that an older key never lands after a
// newer request.
class RememberedKeyWriter : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RememberedKeyWriter)

public:
    // The key as it is stored: the key box's text, trimmed.
    using StoredKey = std::function<std::string()>;

    // How long the key box must stay unchanged before its key is written.
    static constexpr std::chrono::milliseconds kQuietTime{1000};
    // The longest the unload waits for the store to finish.
    static constexpr std::chrono::milliseconds kLongestUnloadWait{5000};

    // `store` must outlive the writer.
    RememberedKeyWriter(RememberedKeyStore& store, StoredKey stored_key, QObject& parent);
    ~RememberedKeyWriter() override = default;

    // The user changed the key box. While `remembered`, its key is written
    // once it has been left alone for kQuietTime.
    void KeyEdited(bool remembered);
    // Writes the key now; a write that was waiting is no longer needed.
    void SaveNow();
    // Writes the key as the program ends, with the store's pause.
    void SaveAtUnload();
    // Forgets the key now; a write that was waiting is dropped.
    void DeleteNow();
    // Forgets the key as the program ends, where the store may still hold it.
    void DeleteAtUnload();
    // Does a write that is waiting, now.
    void Flush();
    // Lets events run until the store has done what was asked, for at most
    // kLongestUnloadWait: the unload's wait for a store that answers later.
    void WaitAtUnload();

    // Whether the key box holds an edit that no save has written yet.
    [[nodiscard]] bool HoldsUnsavedEdit() const { return saved_edits_ != edits_; }

Q_SIGNALS:
    // A save did not work; the key box is left as it is.
    void SaveFailed();
    // The user would not let the store take the key.
    void SaveRefused();
    // Every request is done.
    void Settled();

private:
    enum class Action { kNone, kSave, kSaveAtUnload, kDelete, kDeleteAtUnload };

    void Request(Action action);
    void RunRequests();
    void Start(Action action);
    void Finished();

    RememberedKeyStore& store_;
    StoredKey stored_key_;
    QTimer* quiet_timer_ = nullptr;
    Action queued_ = Action::kNone;
    // A request is with the store.
    bool busy_ = false;
    bool running_requests_ = false;
    // Edits counted so far, and how many of them the last successful save wrote.
    std::uint64_t edits_ = 0;
    std::uint64_t saved_edits_ = 0;
};

}  // namespace ui
