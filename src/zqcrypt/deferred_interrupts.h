#pragma once

#include <csignal>

namespace zqcrypt {

// Holds back Ctrl-C, SIGTERM and SIGHUP while a file job runs. The job asks
// Arrived() between chunks and stops there, so that its unfinished file is
// removed instead of being left behind; when the guard goes, a held-back
// signal takes its ordinary effect and ends the program. Threads that the job
// starts inherit the blocked signals.
class DeferredInterrupts {
public:
    DeferredInterrupts();
    ~DeferredInterrupts();
    DeferredInterrupts(const DeferredInterrupts&) = delete;
    DeferredInterrupts& operator=(const DeferredInterrupts&) = delete;

    [[nodiscard]] bool Arrived() const noexcept;

private:
    sigset_t held_{};
    sigset_t previous_{};
};

}  // namespace zqcrypt
