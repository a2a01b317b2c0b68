#include "ui/thread_inbox.h"

#include "platform/runtime_error.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace ui {

ThreadInbox::ThreadInbox() {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        throw platform::ErrorFromErrno(errno);
    }
    wake_read_.Reset(ends[0]);
    wake_write_.Reset(ends[1]);
    wake_ = new QSocketNotifier(wake_read_.Get(), QSocketNotifier::Read, this);
    connect(wake_, &QSocketNotifier::activated, this, &ThreadInbox::RunPosted);
}

ThreadInbox::~ThreadInbox() {
    // The notifier goes before the pipe it watches.
    delete wake_;
}

void ThreadInbox::Post(std::function<void()> call) {
    bool was_empty = false;
    {
        const std::lock_guard lock(mutex_);
        was_empty = calls_.empty();
        calls_.push_back(std::move(call));
    }
    // One byte wakes the owner for all that is queued; a full pipe already has it woken.
    if (was_empty) {
        const char wake = 1;
        (void)!write(wake_write_.Get(), &wake, 1);
    }
}

void ThreadInbox::Drop() {
    std::deque<std::function<void()>> dropped;
    const std::lock_guard lock(mutex_);
    dropped.swap(calls_);
}

void ThreadInbox::RunPosted() {
    // Emptied first: a call posted from now on writes a byte of its own.
    std::array<char, 64> bytes{};
    while (read(wake_read_.Get(), bytes.data(), bytes.size()) > 0) {
    }
    for (;;) {
        std::function<void()> call;
        {
            const std::lock_guard lock(mutex_);
            if (calls_.empty()) {
                return;
            }
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
    }
}

}  // namespace ui
