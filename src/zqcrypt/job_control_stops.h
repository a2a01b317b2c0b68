#pragma once

#include "platform/unique_fd.h"

#include <csignal>
#include <termios.h>

namespace zqcrypt {

// The stops of job control (SIGTSTP, SIGTTIN, SIGTTOU) while the key prompt
// hides the input. Stopped as usual, the program would leave the terminal
// without echo, and the shell's own mode would not last past `fg`. While one
// of these lives, the calling thread holds these signals back and they come
// in through Fd() instead, so that the prompt can put the terminal back
// first and then stop with StopWith(). Signals ignored when it begins stay
// ignored. The prompt runs before any other thread exists.
class JobControlStops {
public:
    // Throws platform::RuntimeError when the signals cannot be watched.
    JobControlStops();
    ~JobControlStops();
    JobControlStops(const JobControlStops&) = delete;
    JobControlStops& operator=(const JobControlStops&) = delete;

    // Readable when a stop has come; Take() says which.
    [[nodiscard]] int Fd() const noexcept { return fd_.Get(); }
    [[nodiscard]] int Take() const;

    [[nodiscard]] bool Watches(int signal_number) const noexcept;

    // Stops the process with `signal_number` as if it had never been held
    // back, and returns once the process is continued. With `whole_group`,
    // the rest of its process group stops too, as the terminal stops a whole
    // pipeline on Ctrl-Z: the shell takes a job as stopped only then.
    void StopWith(int signal_number, bool whole_group) const noexcept;

    // Returns once the process may change the mode of `terminal_fd`: from
    // the background the system stops it with SIGTTOU until it is in the
    // foreground again. Sets `mode`, which must be the terminal's current
    // one, so nothing changes. Throws platform::RuntimeError when the system
    // refuses, as for a process group no shell answers for.
    void AwaitForeground(int terminal_fd, const termios& mode) const;

private:
    sigset_t watched_{};
    sigset_t previous_{};
    platform::UniqueFd fd_;
};

}  // namespace zqcrypt
