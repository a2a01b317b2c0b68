#include "zqcrypt/deferred_interrupts.h"

#include "platform/ending_signals.h"

#include <pthread.h>

namespace zqcrypt {

DeferredInterrupts::DeferredInterrupts() {
    sigemptyset(&held_);
    for (const int signal_number : platform::kEndRequests) {
        // Blocked, an ignored signal would wait as pending instead of vanishing.
        if (!platform::IsIgnored(signal_number)) {
            sigaddset(&held_, signal_number);
        }
    }
    pthread_sigmask(SIG_BLOCK, &held_, &previous_);
}

DeferredInterrupts::~DeferredInterrupts() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool DeferredInterrupts::Arrived() const noexcept {
    // No handler and no shared flag: a blocked signal simply waits as pending.
    sigset_t pending;
    sigemptyset(&pending);
    if (sigpending(&pending) != 0) {
        return false;
    }
    for (const int signal_number : platform::kEndRequests) {
        if (sigismember(&held_, signal_number) == 1 && sigismember(&pending, signal_number) == 1) {
            return true;
        }
    }
    return false;
}

}  // namespace zqcrypt
