#include "zqcrypt/hidden_input.h"

#include "platform/runtime_error.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/job_control_stops.h"
#include "zqcrypt/terminal_restore.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace zqcrypt {
namespace {

// Puts the terminal in the mode given and back in its old mode when it goes.
class TerminalModeGuard {
public:
    TerminalModeGuard(int fd, const termios& saved, const termios& mode) : fd_(fd), saved_(saved) {
        // TCSAFLUSH drops what was typed before the prompt, which the terminal
        // has already echoed.
        if (::tcsetattr(fd_, TCSAFLUSH, &mode) != 0) {
            throw platform::ErrorFromErrno(errno);
        }
    }
    ~TerminalModeGuard() {
        // TCSANOW keeps what was typed after Enter: decode-text reads it next.
        while (::tcsetattr(fd_, TCSANOW, &saved_) != 0 && errno == EINTR) {
        }
    }
    TerminalModeGuard(const TerminalModeGuard&) = delete;
    TerminalModeGuard& operator=(const TerminalModeGuard&) = delete;

private:
    int fd_;
    termios saved_;
};

struct LineEnd {
    enum class Kind { kEnter, kEndOfInput, kInterrupt, kQuit, kStop };
    Kind kind = Kind::kEndOfInput;
    int stop_signal = 0;  // kStop: the signal to stop with
    bool typed = false;   // kStop: Ctrl-Z, which the terminal would send to its foreground group
};

void EraseLastCharacter(std::string& line) {
    // A character of several UTF-8 bytes goes as a whole.
    while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) {
        line.pop_back();
    }
    if (!line.empty()) {
        line.pop_back();
    }
}

void EraseLastWord(std::string& line) {
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    while (!line.empty() && line.back() != ' ') {
        line.pop_back();
    }
}

// Waits for a byte of the terminal or a stop of job control, whichever comes
// first; a stop wins over what was typed, which is thrown away anyway.
[[nodiscard]] bool StopCameFirst(int fd, const JobControlStops& stops) {
    for (;;) {
        std::array<pollfd, 2> polled{{{fd, POLLIN, 0}, {stops.Fd(), POLLIN, 0}}};
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw platform::ErrorFromErrno(errno);
        }
        if (polled[1].revents != 0) {
            return true;
        }
        if (polled[0].revents != 0) {
            return false;  // a byte, or a hang-up that read() reports
        }
    }
}

// Reads byte by byte in non-canonical mode without signals, so that Ctrl-C
// and Ctrl-Z reach us as bytes and the terminal can be restored before the
// program ends or stops, and so that nothing after the line break is taken
// from the input.
[[nodiscard]] LineEnd ReadLine(int fd, const cc_t* controls, const JobControlStops& stops, std::string& line) {
    for (;;) {
        if (StopCameFirst(fd, stops)) {
            return {LineEnd::Kind::kStop, stops.Take()};
        }
        unsigned char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return {};  // a hang-up: a line cut short is no key
        }
        if (c == '\n' || c == '\r') {
            return {LineEnd::Kind::kEnter};
        }
        if (c == controls[VINTR]) {
            return {LineEnd::Kind::kInterrupt};
        }
        if (c == controls[VQUIT]) {
            return {LineEnd::Kind::kQuit};
        }
        if (c == controls[VSUSP]) {
            if (stops.Watches(SIGTSTP)) {
                return {LineEnd::Kind::kStop, SIGTSTP, true};
            }
            continue;  // a shell without job control: nothing would continue us
        }
        if (c == controls[VEOF]) {
            if (line.empty()) {
                return {};
            }
        } else if (c == controls[VERASE] || c == 0x7F || c == '\b') {
            EraseLastCharacter(line);
        } else if (c == controls[VKILL]) {
            line.clear();
        } else if (c == controls[VWERASE]) {
            EraseLastWord(line);
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
}

}  // namespace

std::optional<std::string> ReadHiddenLine(int terminal_fd, int prompt_fd, std::string_view prompt) {
    termios saved{};
    if (::tcgetattr(terminal_fd, &saved) != 0) {
        throw platform::ErrorFromErrno(errno);
    }
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    hidden.c_cc[VMIN] = 1;
    hidden.c_cc[VTIME] = 0;

    const JobControlStops stops;
    std::string line;
    LineEnd end;
    for (;;) {
        // Continued in the background, the prompt waits stopped for the
        // foreground rather than take the terminal from the shell.
        stops.AwaitForeground(terminal_fd, saved);
        {
            const TerminalRestoreOnSignal restore(terminal_fd, saved);
            const TerminalModeGuard guard(terminal_fd, saved, hidden);
            WriteAll(prompt_fd, prompt);
            end = ReadLine(terminal_fd, saved.c_cc, stops, line);
        }
        // The Enter that ended the line was not echoed. Written once the mode
        // is back, so that whatever is typed after the line break is read as
        // text, and so that the shell's word of a stop starts a line.
        WriteAll(prompt_fd, "\n");
        if (end.kind != LineEnd::Kind::kStop) {
            break;
        }
        // As after Ctrl-U: what was typed before the stop is gone, and once
        // continued the prompt hides the input again and asks anew.
        line.clear();
        // Ctrl-Z stops what the terminal would stop: its foreground group,
        // the whole pipeline, when that is ours; otherwise this process alone.
        stops.StopWith(end.stop_signal, end.typed && ::tcgetpgrp(terminal_fd) == ::getpgrp());
    }
    switch (end.kind) {
        case LineEnd::Kind::kEnter:
            return line;
        case LineEnd::Kind::kEndOfInput:
        case LineEnd::Kind::kStop:
            return std::nullopt;
        case LineEnd::Kind::kInterrupt:
            std::raise(SIGINT);
            return std::nullopt;
        case LineEnd::Kind::kQuit:
            std::raise(SIGQUIT);
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace zqcrypt
