#pragma once

#include "platform/unique_fd.h"

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace ui {

// A letter box on the thread that owns it: any thread posts a call, and the
// calls run there, through that thread's event loop, in the order posted.
//
// A posting thread calls nothing of Qt: the calls wait in a queue under a
// lock of ours, and a byte on a pipe wakes the owner's event loop. So a
// thread that only posts here needs nothing of Qt to be thread-safe, and
// ThreadSanitizer, which cannot see the locks inside a Qt not built for it,
// sees every hand-off as it is.
class ThreadInbox final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThreadInbox)

public:
    // Throws platform::RuntimeError when no pipe can be made.
    ThreadInbox();
    ~ThreadInbox() override;

    // From any thread: `call` runs on this inbox's thread, after every call
    // posted before it, unless Drop comes first or the inbox goes.
    void Post(std::function<void()> call);

    // On the inbox's thread: the calls posted and not yet run never run.
    void Drop();

private:
    void RunPosted();

    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    platform::UniqueFd wake_read_;
    platform::UniqueFd wake_write_;
    QSocketNotifier* wake_ = nullptr;
};

}  // namespace ui
