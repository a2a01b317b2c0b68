#pragma once

#include "platform/scoped_signal_handler.h"

#include <termios.h>
#include <vector>

namespace zqcrypt {

// While the key prompt has the terminal without echo, a signal that ends the
// program (`timeout`, `kill`, a hang-up, a crash) must not leave it that way.
// While one of these lives, every catchable signal whose default is to end
// the program first puts `saved` back on `fd`, then takes its ordinary effect
// (the handler lets go and raises it again), so the exit status still names
// the signal. Signals that were ignored stay ignored. One at a time.
class TerminalRestoreOnSignal {
public:
    TerminalRestoreOnSignal(int fd, const termios& saved);
    ~TerminalRestoreOnSignal();
    TerminalRestoreOnSignal(const TerminalRestoreOnSignal&) = delete;
    TerminalRestoreOnSignal& operator=(const TerminalRestoreOnSignal&) = delete;

private:
    std::vector<platform::ScopedSignalHandler> handlers_;
};

}  // namespace zqcrypt
