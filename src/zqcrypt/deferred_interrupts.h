#pragma once

#include "platform/unfinished_file_removal.h"

#include <csignal>

namespace zqcrypt {

// Holds back the requests to end (Ctrl-C, SIGTERM, SIGHUP) while a file job
// runs. The job asks Arrived() between chunks and stops there, so that its
// unfinished file is removed instead of being left behind; when the guard
// goes, a held-back signal takes its ordinary effect and ends the program.
// Threads that the job starts inherit the blocked signals. A request ignored
// when the guard begins (`nohup`) is not held back: it stays ignored. The
// other ending signals are not held back either; while the guard lives they
// remove the unfinished file on their way out.
class DeferredInterrupts {
public:
    DeferredInterrupts();
    ~DeferredInterrupts();
    DeferredInterrupts(const DeferredInterrupts&) = delete;
    DeferredInterrupts& operator=(const DeferredInterrupts&) = delete;

    [[nodiscard]] bool Arrived() const noexcept;

private:
    platform::RemoveUnfinishedFilesOnEndingSignals unfinished_file_removal_;
    sigset_t held_{};
    sigset_t previous_{};
};

}  // namespace zqcrypt
