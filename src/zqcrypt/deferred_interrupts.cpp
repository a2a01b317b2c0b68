#include "zqcrypt/deferred_interrupts.h"

#include <pthread.h>

namespace zqcrypt {

DeferredInterrupts::DeferredInterrupts() {
    sigemptyset(&held_);
    sigaddset(&held_, SIGINT);
    sigaddset(&held_, SIGTERM);
    sigaddset(&held_, SIGHUP);
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
    return sigismember(&pending, SIGINT) == 1 || sigismember(&pending, SIGTERM) == 1 ||
           sigismember(&pending, SIGHUP) == 1;
}

}  // namespace zqcrypt
