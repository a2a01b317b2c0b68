#include "platform/unfinished_file_removal.h"

#include "platform/ending_signals.h"
#include "platform/unfinished_files.h"

namespace platform {
namespace {

extern "C" void RemoveUnfinishedFilesAndEnd(int signal) {
    platform::RemoveUnfinishedFiles();
    // SA_RESETHAND has put back the default action: the signal, raised again,
    // ends the process once this handler returns and unblocks it.
    (void)::raise(signal);
}

}  // namespace

RemoveUnfinishedFilesOnEndingSignals::RemoveUnfinishedFilesOnEndingSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveUnfinishedFilesAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SignalActionFlags(SA_RESETHAND);
    for (const int signal : EndingSignals()) {
        if (!IsEndRequest(signal)) {
            handlers_.emplace_back(signal, action, TakeOver::kOnlyDefault);
        }
    }
}

RemoveUnfinishedFilesOnEndingSignals::~RemoveUnfinishedFilesOnEndingSignals() = default;

}  // namespace platform
