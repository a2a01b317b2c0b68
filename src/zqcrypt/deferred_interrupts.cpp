#include "zqcrypt/deferred_interrupts.h"

#include "platform/unfinished_files.h"
#include "zqcrypt/ending_signals.h"

#include <pthread.h>

namespace zqcrypt {
namespace {

extern "C" void RemoveUnfinishedFilesAndEnd(int signal) {
    platform::RemoveUnfinishedFiles();
    // SA_RESETHAND has put back the default action: the signal, raised again,
    // ends the process once this handler returns and unblocks it.
    (void)::raise(signal);
}

void InstallIfEnding(int signal, std::array<struct sigaction, NSIG>& previous, std::array<bool, NSIG>& installed) {
    const auto index = static_cast<std::size_t>(signal);
    if (index >= previous.size() || ::sigaction(signal, nullptr, &previous[index]) != 0 ||
        previous[index].sa_handler != SIG_DFL || (previous[index].sa_flags & SA_SIGINFO) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = RemoveUnfinishedFilesAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    installed[index] = ::sigaction(signal, &action, nullptr) == 0;
}

}  // namespace

RemoveUnfinishedFilesOnEndingSignals::RemoveUnfinishedFilesOnEndingSignals() {
    for (const int signal : EndingSignals()) {
        // The three that DeferredInterrupts holds back end the job in order instead.
        if (signal != SIGINT && signal != SIGTERM && signal != SIGHUP) {
            InstallIfEnding(signal, previous_, installed_);
        }
    }
}

RemoveUnfinishedFilesOnEndingSignals::~RemoveUnfinishedFilesOnEndingSignals() {
    for (std::size_t index = 0; index < installed_.size(); ++index) {
        if (installed_[index]) {
            (void)::sigaction(static_cast<int>(index), &previous_[index], nullptr);
        }
    }
}

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
