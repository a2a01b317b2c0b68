#pragma once

#include "ui/thread_inbox.h"

#include <QObject>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace ui {

class FileRun;

// Runs the attachment window's runs on a thread that the window owns, one at
// a time, so that the window keeps answering while a long file passes through
// the cipher. The file operations share the crypto session's module state,
// so a second run never starts while one runs. What a run sends arrives
// through the inbox on the window's thread, in the order it was sent.
//
// Not Qt's global pool: the application waits for that at its end, and a
// run stalled on a file system would hold the exit with it.
class JobThread : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobThread)

public:
    using Ended = std::function<void(const FileRun& run)>;

    JobThread() = default;
    ~JobThread() override;

    // Window's thread only: whether a run has started and not yet ended.
    [[nodiscard]] bool Running() const noexcept { return run_ != nullptr; }

    // Where runs post what they send.
    [[nodiscard]] ThreadInbox& Inbox() noexcept { return inbox_; }

    // Runs `run` on the worker thread. Once it has ended and what it sent has
    // arrived, `ended` runs on the window's thread. Ignored while a run runs.
    void Start(std::shared_ptr<FileRun> run, Ended ended);

    // Asks the run to stop at its next chunk; it ends as usual, stopped.
    void RequestStop() noexcept;

    // Asks the run to stop and does not wait for it: a write to a file system
    // that has stalled may hold it for as long as the file system does. Its
    // signals are disconnected, so nothing it sends from now on is heard,
    // and `ended` never runs; `gone` runs on the window's thread once its
    // thread has ended. It still counts as running until then, so that no
    // other run starts beside it.
    void LetGo(std::function<void()> gone);

    // Stops the run and waits for its thread. What it sent that has not yet
    // arrived is dropped, `ended` included: the caller tidies up itself.
    void StopAndJoin();

private:
    // Window's thread, once the worker has posted its last word.
    void Finish();
    void Join();

    std::shared_ptr<FileRun> run_;
    Ended ended_;
    // The running run was let go, and these wait for its end.
    bool let_go_ = false;
    std::vector<std::function<void()>> gone_;
    ThreadInbox inbox_;
    std::thread worker_;
};

}  // namespace ui
