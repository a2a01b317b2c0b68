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
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int signal_number : platform::EndingSignals()) {
        Handled handled{signal_number, {}};
        if (platform::IsIgnored(signal_number) || ::sigaction(signal_number, nullptr, &handled.previous) != 0) {
            continue;  // nohup and the like: an ignored signal ends nothing
        }
        if (::sigaction(signal_number, &action, nullptr) == 0) {
            handled_.push_back(handled);
        }
    }
}

TerminalRestoreOnSignal::~TerminalRestoreOnSignal() {
    for (const Handled& handled : handled_) {
        (void)::sigaction(handled.signal_number, &handled.previous, nullptr);
    }
    restore_fd = -1;
}

}  // namespace zqcrypt
