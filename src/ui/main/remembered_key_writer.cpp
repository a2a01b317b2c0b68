#include "ui/main/remembered_key_writer.h"

#include <QEventLoop>
#include <QTimer>

#include <utility>

namespace ui {

RememberedKeyWriter::RememberedKeyWriter(RememberedKeyStore& store, StoredKey stored_key, QObject& parent)
    : QObject(&parent), store_(store), stored_key_(std::move(stored_key)), quiet_timer_(new QTimer(this)) {
    quiet_timer_->setSingleShot(true);
    quiet_timer_->setInterval(kQuietTime);
    connect(quiet_timer_, &QTimer::timeout, this, &RememberedKeyWriter::SaveNow);
}

void RememberedKeyWriter::KeyEdited(bool remembered) {
    ++edits_;
    if (remembered) {
        quiet_timer_->start();
    }
}

void RememberedKeyWriter::SaveNow() {
    quiet_timer_->stop();
    Request(Action::kSave);
}

void RememberedKeyWriter::SaveAtUnload() {
    quiet_timer_->stop();
    Request(Action::kSaveAtUnload);
}

void RememberedKeyWriter::DeleteNow() {
    quiet_timer_->stop();
    Request(Action::kDelete);
}

void RememberedKeyWriter::DeleteAtUnload() {
    quiet_timer_->stop();
    Request(Action::kDeleteAtUnload);
}

void RememberedKeyWriter::Flush() {
    if (quiet_timer_->isActive()) {
        SaveNow();
    }
}

void RememberedKeyWriter::WaitAtUnload() {
    if (!busy_ && queued_ == Action::kNone) {
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(kLongestUnloadWait, &loop, &QEventLoop::quit);
    connect(this, &RememberedKeyWriter::Settled, &loop, &QEventLoop::quit);
    loop.exec();
}

void RememberedKeyWriter::Request(Action action) {
    // Only the last request counts: each one says what the store should end up holding.
    queued_ = action;
    RunRequests();
}

void RememberedKeyWriter::RunRequests() {
    // A store that answers before it returns comes back here from inside
    // Start(); the loop below goes on with what was asked meanwhile.
    if (running_requests_) {
        return;
    }
    running_requests_ = true;
    while (!busy_ && queued_ != Action::kNone) {
        Start(std::exchange(queued_, Action::kNone));
    }
    running_requests_ = false;
    if (!busy_) {
        Q_EMIT Settled();
    }
}

void RememberedKeyWriter::Start(Action action) {
    busy_ = true;
    const auto when = action == Action::kSaveAtUnload || action == Action::kDeleteAtUnload
                          ? RememberedKeyStore::When::kUnload
                          : RememberedKeyStore::When::kRunning;
    if (action == Action::kDelete || action == Action::kDeleteAtUnload) {
        store_.Delete(when, [this] { Finished(); });
        return;
    }
    // Read when the save starts, so that it writes the key box as it is then.
    const std::uint64_t edits = edits_;
    store_.Save(stored_key_(), when, [this, edits](RememberedKeyStore::Outcome outcome) {
        switch (outcome) {
            case RememberedKeyStore::Outcome::kSaved:
                saved_edits_ = edits;
                break;
            case RememberedKeyStore::Outcome::kFailed:
                Q_EMIT SaveFailed();
                break;
            case RememberedKeyStore::Outcome::kRefused:
                Q_EMIT SaveRefused();
                break;
        }
        Finished();
    });
}

void RememberedKeyWriter::Finished() {
    busy_ = false;
    RunRequests();
}

}  // namespace ui
