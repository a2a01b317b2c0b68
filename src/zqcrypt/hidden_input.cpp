#include "zqcrypt/hidden_input.h"

#include "platform/runtime_error.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/terminal_restore.h"

#include <cerrno>
#include <csignal>
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

enum class LineEnd { kEnter, kEndOfInput, kInterrupt, kQuit };

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

// Reads byte by byte in non-canonical mode without signals, so that Ctrl-C
// reaches us as a byte and the terminal can be restored before the program
// ends, and so that nothing after the line break is taken from the input.
[[nodiscard]] LineEnd ReadLine(int fd, const cc_t* controls, std::string& line) {
    for (;;) {
        unsigned char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return LineEnd::kEndOfInput;  // a hang-up: a line cut short is no key
        }
        if (c == '\n' || c == '\r') {
            return LineEnd::kEnter;
        }
        if (c == controls[VINTR]) {
            return LineEnd::kInterrupt;
        }
        if (c == controls[VQUIT]) {
            return LineEnd::kQuit;
        }
        if (c == controls[VSUSP]) {
            continue;  // stopping here would leave the terminal without echo
        }
        if (c == controls[VEOF]) {
            if (line.empty()) {
                return LineEnd::kEndOfInput;
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

    std::string line;
    LineEnd end = LineEnd::kEndOfInput;
    {
        const TerminalRestoreOnSignal restore(terminal_fd, saved);
        const TerminalModeGuard guard(terminal_fd, saved, hidden);
        WriteAll(prompt_fd, prompt);
        end = ReadLine(terminal_fd, saved.c_cc, line);
    }
    // The Enter that ended the line was not echoed. Written once the mode is
    // back, so that whatever is typed after the line break is read as text.
    WriteAll(prompt_fd, "\n");
    switch (end) {
        case LineEnd::kEnter:
            return line;
        case LineEnd::kEndOfInput:
            return std::nullopt;
        case LineEnd::kInterrupt:
            std::raise(SIGINT);
            return std::nullopt;
        case LineEnd::kQuit:
            std::raise(SIGQUIT);
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace zqcrypt
