#pragma once

#include "cipher/file_container.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace ui {

// Runs the attachment window's file jobs on a thread of their own, one at a
// time, so that the window keeps answering while a long file passes through
// the cipher. The file operations share the crypto session's module state,
// so a second job never starts while one runs. What the job tells the window
// arrives through the window's event loop, in the order it was sent.
class JobThread : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobThread)

public:
    // Progress reaches the window at most this often, and once at the end.
    static constexpr std::chrono::milliseconds kProgressInterval{50};

    JobThread() = default;
    ~JobThread() override;

    // Window's thread only: whether a job has started and not yet ended.
    [[nodiscard]] bool Running() const noexcept { return running_; }

    // Runs `job` on the worker thread. Once it has ended and what it sent has
    // arrived, `ended` runs on the window's thread. Ignored while a job runs.
    void Start(std::function<void()> job, std::function<void()> ended);

    // From the worker: runs `action` on the window's thread, after everything
    // sent before it, unless the job has been let go by then. On the
    // window's thread it runs at once.
    void Send(std::function<void()> action);

    // Asks the job to stop at its next chunk; it ends as usual, stopped.
    void RequestStop() noexcept;
    [[nodiscard]] bool StopRequested() const noexcept { return stop_.load(); }

    // Asks the job to stop and does not wait for it: a write to a file system
    // that has stalled may hold it for as long as the file system does. What
    // it sends from now on is dropped, `ended` included; `gone` runs on the
    // window's thread once its thread has ended. It still counts as running
    // until then, so that no other job starts beside it.
    void LetGo(std::function<void()> gone);

    // Stops the job and waits for its thread. What it sent that has not yet
    // arrived is dropped, `ended` included: the caller tidies up itself.
    void StopAndJoin();

    // The progress callback for a file operation of the job: it throws a
    // user interrupt once a stop was asked for, and sends (done, total) to
    // `show` no more often than kProgressInterval, and at the end.
    [[nodiscard]] m_Encryption::Progress ProgressTo(std::function<void(std::uint64_t, std::uint64_t)> show);

private:
    void Join();
    // Runs `action` on the window's thread after everything sent before it, let go or not.
    void Post(std::function<void()> action);

    std::atomic<bool> stop_{false};
    bool running_ = false;
    // Window's thread only: the running job was let go, and these wait for its end.
    bool let_go_ = false;
    std::vector<std::function<void()>> gone_;
    std::thread worker_;
};

}  // namespace ui
