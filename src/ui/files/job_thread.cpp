#include "ui/files/job_thread.h"

#include "ui/files/file_run.h"

#include <utility>

namespace ui {

JobThread::~JobThread() {
    StopAndJoin();
}

void JobThread::Start(std::shared_ptr<FileRun> run, Ended ended) {
    if (Running()) {
        return;
    }
    // The thread comes first: if it cannot be made, nothing here says that a run is under way.
    worker_ = std::thread([run, &inbox = inbox_, finish = [this] { Finish(); }] {
        run->Run();
        inbox.Post(finish);
    });
    run_ = std::move(run);
    ended_ = std::move(ended);
}

void JobThread::RequestStop() noexcept {
    if (run_) {
        run_->RequestStop();
    }
}

void JobThread::LetGo(std::function<void()> gone) {
    if (!Running()) {
        return gone();
    }
    RequestStop();
    run_->disconnect();
    let_go_ = true;
    gone_.push_back(std::move(gone));
}

void JobThread::StopAndJoin() {
    if (!Running()) {
        return;
    }
    RequestStop();
    Join();
    // Whatever the worker sent is now in the inbox; none of it may arrive
    // later, in the middle of whatever the caller does next.
    inbox_.Drop();
    run_.reset();
    ended_ = nullptr;
    let_go_ = false;
    gone_.clear();
}

void JobThread::Finish() {
    Join();
    const std::shared_ptr<FileRun> run = std::exchange(run_, nullptr);
    const Ended ended = std::exchange(ended_, nullptr);
    if (!std::exchange(let_go_, false)) {
        return ended(*run);
    }
    for (const std::function<void()>& gone : std::exchange(gone_, {})) {
        gone();
    }
}

void JobThread::Join() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

}  // namespace ui
