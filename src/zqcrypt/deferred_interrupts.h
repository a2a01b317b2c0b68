#pragma once

#include <array>
#include <csignal>

namespace zqcrypt {

// Every other signal that would end the program while a file job runs (a
// quit, a timer, a size limit, a fault...) first removes the job's unfinished
// temporary file, then ends the program as the signal would have. Only file
// systems without unnamed files need this: elsewhere the unfinished file has
// no name, and the system drops it with the process. Signals ignored when the
// guard begins stay ignored.
class RemoveUnfinishedFilesOnEndingSignals {
public:
    RemoveUnfinishedFilesOnEndingSignals();
    ~RemoveUnfinishedFilesOnEndingSignals();
    RemoveUnfinishedFilesOnEndingSignals(const RemoveUnfinishedFilesOnEndingSignals&) = delete;
    RemoveUnfinishedFilesOnEndingSignals& operator=(const RemoveUnfinishedFilesOnEndingSignals&) = delete;

private:
    // One place for each signal number, the real-time ones included.
    std::array<struct sigaction, NSIG> previous_{};
    std::array<bool, NSIG> installed_{};
};

// Holds back Ctrl-C, SIGTERM and SIGHUP while a file job runs. The job asks
// Arrived() between chunks and stops there, so that its unfinished file is
// removed instead of being left behind; when the guard goes, a held-back
// signal takes its ordinary effect and ends the program. Threads that the job
// starts inherit the blocked signals. The other ending signals are not held
// back; they remove the unfinished file on their way out.
class DeferredInterrupts {
public:
    DeferredInterrupts();
    ~DeferredInterrupts();
    DeferredInterrupts(const DeferredInterrupts&) = delete;
    DeferredInterrupts& operator=(const DeferredInterrupts&) = delete;

    [[nodiscard]] bool Arrived() const noexcept;

private:
    RemoveUnfinishedFilesOnEndingSignals ending_signals_;
    sigset_t held_{};
    sigset_t previous_{};
};

}  // namespace zqcrypt
