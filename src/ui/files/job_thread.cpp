#include "ui/files/job_thread.h"

#include "platform/runtime_error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <memory>
#include <utility>

namespace ui {

JobThread::~JobThread() {
    StopAndJoin();
}

void JobThread::Start(std::function<void()> job, std::function<void()> ended) {
    if (running_) {
        return;
    }
    stop_ = false;
    running_ = true;
    worker_ = std::thread([this, job = std::move(job), ended = std::move(ended)]() mutable {
        job();
        Post([this, ended = std::move(ended)] {
            Join();
            if (!std::exchange(let_go_, false)) {
                return ended();
            }
            for (const std::function<void()>& gone : std::exchange(gone_, {})) {
                gone();
            }
        });
    });
}

void JobThread::Send(std::function<void()> action) {
    if (QThread::currentThread() == thread()) {
        action();
        return;
    }
    Post([this, action = std::move(action)] {
        if (!let_go_) {
            action();
        }
    });
}

void JobThread::Post(std::function<void()> action) {
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void JobThread::RequestStop() noexcept {
    stop_ = true;
}

void JobThread::LetGo(std::function<void()> gone) {
    if (!running_) {
        return gone();
    }
    RequestStop();
    let_go_ = true;
    gone_.push_back(std::move(gone));
}

void JobThread::StopAndJoin() {
    if (!running_) {
        return;
    }
    RequestStop();
    Join();
    // Whatever the worker sent is now in the queue; none of it may arrive
    // later, in the middle of whatever the caller does next.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    let_go_ = false;
    gone_.clear();
}

void JobThread::Join() {
    if (worker_.joinable()) {
        worker_.join();
    }
    running_ = false;
    stop_ = false;  // a job run later on the window's own thread must not stop at once
}

m_Encryption::Progress JobThread::ProgressTo(std::function<void(std::uint64_t, std::uint64_t)> show) {
    using Clock = std::chrono::steady_clock;
    auto last_sent = std::make_shared<Clock::time_point>(Clock::now());
    return [this, show = std::move(show), last_sent](std::uint64_t done, std::uint64_t total) {
        if (StopRequested()) {
            throw platform::RuntimeError(platform::err::kUserInterrupt);
        }
        const Clock::time_point now = Clock::now();
        if (done == total || now - *last_sent >= kProgressInterval) {
            *last_sent = now;
            Send([show, done, total] { show(done, total); });
        }
    };
}

}  // namespace ui
