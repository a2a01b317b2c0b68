#include "ui/main/remembered_key_writer.h"

#include <QTimer>

#include <utility>

namespace ui {

RememberedKeyWriter::RememberedKeyWriter(m_Decoder::KeyStoreSettings key_store, StoredKey stored_key, QObject& parent)
    : QObject(&parent),
      key_store_(std::move(key_store)),
      stored_key_(std::move(stored_key)),
      quiet_timer_(new QTimer(this)) {
    quiet_timer_->setSingleShot(true);
    quiet_timer_->setInterval(kQuietTime);
    connect(quiet_timer_, &QTimer::timeout, this, &RememberedKeyWriter::SaveNow);
}

void RememberedKeyWriter::KeyEdited() {
    quiet_timer_->start();
}

void RememberedKeyWriter::SaveNow() {
    quiet_timer_->stop();
    Run(Action::kSave);
}

void RememberedKeyWriter::DeleteNow() {
    quiet_timer_->stop();
    Run(Action::kDelete);
}

void RememberedKeyWriter::Flush() {
    if (quiet_timer_->isActive()) {
        SaveNow();
    }
}

void RememberedKeyWriter::Run(Action action) {
    // Only the last request counts: each one says what the file should end up as.
    queued_ = action;
    if (running_) {
        return;
    }
    running_ = true;
    while (queued_ != Action::kNone) {
        const Action next = std::exchange(queued_, Action::kNone);
        if (next == Action::kSave) {
            // Read when the save starts, so that it writes the key box as it is then.
            m_Decoder::SaveClientKey(stored_key_(), key_store_);
        } else {
            m_Decoder::DeleteClientKey(key_store_);
        }
    }
    running_ = false;
}

}  // namespace ui
