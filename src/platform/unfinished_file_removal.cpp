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
        if (!IsEndRequest(signal)) {
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

}  // namespace platform
