#include "zqcrypt/terminal_restore.h"

#include "platform/ending_signals.h"

#include <unistd.h>

namespace zqcrypt {
namespace {

// What the handler needs, set before the handlers go in and cleared after
// they are out: a handler may reach nothing else.
volatile sig_atomic_t restore_fd = -1;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
termios restore_mode{};                 // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void RestoreTerminalAndRaise(int signal_number) {
    // tcsetattr and raise are async-signal-safe. The handler was installed
    // with SA_RESETHAND and SA_NODEFER: the disposition is the default again
    // and the signal is not blocked, so raising it ends the program here.
    if (restore_fd >= 0) {
        (void)::tcsetattr(restore_fd, TCSANOW, &restore_mode);
    }
    (void)::raise(signal_number);
}

}  // namespace

TerminalRestoreOnSignal::TerminalRestoreOnSignal(int fd, const termios& saved) {
    restore_mode = saved;
    restore_fd = fd;
    struct sigaction action {};
    action.sa_handler = RestoreTerminalAndRaise;
    sigfillset(&action.sa_mask);
    action.sa_flags = platform::SignalActionFlags(SA_RESETHAND | SA_NODEFER);
    for (const int signal_number : platform::EndingSignals()) {
        // An ignored signal (nohup and the like) ends nothing: it stays ignored.
        handlers_.emplace_back(signal_number, action, platform::TakeOver::kUnlessIgnored);
    }
}

TerminalRestoreOnSignal::~TerminalRestoreOnSignal() {
    handlers_.clear();  // before the handler loses what it restores
    restore_fd = -1;
}

}  // namespace zqcrypt
