#pragma once

#include "platform/scoped_signal_handler.h"

#include <vector>

namespace platform {

// While one of these lives, every ending signal but the requests to end
// (platform::kEndRequests, which each program answers in order) first
// removes the unfinished temporary files of the jobs under way, then ends the
// program as the signal would have: a quit, a timer, a size limit, a broken
// pipe, a fault... Only file systems without unnamed files need this:
// elsewhere an unfinished file has no name, and the system drops it with the
// process. Only signals left at their default action are taken over: an
// ignored one stays ignored, and a handler already there stays. One at a time.
class RemoveUnfinishedFilesOnEndingSignals {
public:
    RemoveUnfinishedFilesOnEndingSignals();
    ~RemoveUnfinishedFilesOnEndingSignals();
    RemoveUnfinishedFilesOnEndingSignals(const RemoveUnfinishedFilesOnEndingSignals&) = delete;
    RemoveUnfinishedFilesOnEndingSignals& operator=(const RemoveUnfinishedFilesOnEndingSignals&) = delete;

private:
    std::vector<ScopedSignalHandler> handlers_;
};

}  // namespace platform
