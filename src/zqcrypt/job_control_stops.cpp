#include "zqcrypt/job_control_stops.h"

#include "platform/runtime_error.h"

#include <cerrno>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zqcrypt {
namespace {

// Lets `signal_number` take its ordinary effect while it lives.
class Unblocked {
public:
    explicit Unblocked(int signal_number) {
        sigemptyset(&set_);
        sigaddset(&set_, signal_number);
        pthread_sigmask(SIG_UNBLOCK, &set_, nullptr);
    }
    ~Unblocked() { pthread_sigmask(SIG_BLOCK, &set_, nullptr); }
    Unblocked(const Unblocked&) = delete;
    Unblocked& operator=(const Unblocked&) = delete;

private:
    sigset_t set_{};
};

}  // namespace

JobControlStops::JobControlStops() {
    sigemptyset(&watched_);
    for (const int signal_number : {SIGTSTP, SIGTTIN, SIGTTOU}) {
        struct sigaction current {};
        if (::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            sigaddset(&watched_, signal_number);
        }
    }
    pthread_sigmask(SIG_BLOCK, &watched_, &previous_);
    fd_.Reset(::signalfd(-1, &watched_, SFD_CLOEXEC));
    if (!fd_.Valid()) {
        const int error = errno;
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
        throw platform::ErrorFromErrno(error);
    }
}

JobControlStops::~JobControlStops() {
    // A stop that came after the prompt's last look takes effect here, with
    // the terminal already back in its mode.
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

int JobControlStops::Take() const {
    signalfd_siginfo info{};
    for (;;) {
        const ssize_t got = ::read(fd_.Get(), &info, sizeof info);
        if (got == static_cast<ssize_t>(sizeof info)) {
            return static_cast<int>(info.ssi_signo);
        }
        if (got < 0 && errno != EINTR) {
            throw platform::ErrorFromErrno(errno);
        }
    }
}

bool JobControlStops::Watches(int signal_number) const noexcept {
    return sigismember(&watched_, signal_number) == 1;
}

void JobControlStops::StopWith(int signal_number, bool whole_group) const noexcept {
    // Sent while held back, it waits; let go, it stops the process before
    // pthread_sigmask returns, and the process goes on from there when continued.
    (void)(whole_group ? ::kill(0, signal_number) : ::raise(signal_number));
    const Unblocked stop(signal_number);
}

void JobControlStops::AwaitForeground(int terminal_fd, const termios& mode) const {
    if (!Watches(SIGTTOU)) {
        return;  // ignored: the system lets the mode change from anywhere
    }
    const Unblocked stop(SIGTTOU);
    while (::tcsetattr(terminal_fd, TCSANOW, &mode) != 0) {
        if (errno != EINTR) {
            throw platform::ErrorFromErrno(errno);
        }
    }
}

}  // namespace zqcrypt
