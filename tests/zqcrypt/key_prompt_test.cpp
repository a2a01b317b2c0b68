// The "Client key: " prompt on a real pseudo-terminal: no echo, and the
// terminal's mode restored however the prompt ends.

#include "platform/unique_fd.h"
#include "zqcrypt_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kTimeout = std::chrono::seconds(10);

// A pseudo-terminal with both ends open: the master plays the user, the
// slave is zqcrypt's standard input and error.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) {
            throw std::runtime_error("cannot open the pseudo-terminal's slave");
        }
    }
    ~PseudoTerminal() {
        ::close(slave_);
        ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    [[nodiscard]] int Slave() const { return slave_; }

    void Type(std::string_view keys) const {
        if (::write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
            throw std::runtime_error("cannot type on the pseudo-terminal");
        }
    }

    // All that the terminal shows until `wanted` appears, or until a short
    // quiet spell when `wanted` is empty. A `wanted` that has not appeared
    // by the deadline fails the test, which names what was shown instead.
    std::string ShownUntil(std::string_view wanted) {
        const auto deadline = std::chrono::steady_clock::now() + kTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!wanted.empty() && shown_.find(wanted) != std::string::npos) {
                break;
            }
            pollfd polled{master_, POLLIN, 0};
            if (::poll(&polled, 1, 200) <= 0) {
                if (wanted.empty()) {
                    break;
                }
                continue;
            }
            std::array<char, 4096> buffer{};
            const ssize_t got = ::read(master_, buffer.data(), buffer.size());
            if (got <= 0) {
                break;
            }
            shown_.append(buffer.data(), static_cast<std::size_t>(got));
        }
        if (!wanted.empty() && shown_.find(wanted) == std::string::npos) {
            ADD_FAILURE() << "the terminal never showed " << ::testing::PrintToString(std::string(wanted))
                          << "; it showed " << ::testing::PrintToString(shown_);
        }
        return shown_;
    }

    [[nodiscard]] termios Mode() const {
        termios mode{};
        ::tcgetattr(slave_, &mode);
        return mode;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string shown_;
};

// zqcrypt with the terminal as its standard input and error, and a pipe as
// its standard output.
class ChildOnTerminal {
public:
    ChildOnTerminal(const PseudoTerminal& terminal, const std::vector<std::string>& arguments,
                    bool own_process_group = false) {
        std::array<int, 2> out{};
        if (::pipe2(out.data(), O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        out_.Reset(out[0]);
        const platform::UniqueFd write_end(out[1]);
        pid_ = testsupport::StartZqcrypt(arguments, std::nullopt, terminal.Slave(), write_end.Get(), terminal.Slave(),
                                         std::nullopt, std::nullopt, own_process_group);
    }

    void Signal(int signal_number) const { ::kill(pid_, signal_number); }

    // Waits until the child has stopped, as a shell with job control would.
    [[nodiscard]] bool Stopped() const {
        const auto deadline = std::chrono::steady_clock::now() + kTimeout;
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, &status, WUNTRACED | WNOHANG) == pid_) {
                return WIFSTOPPED(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    [[nodiscard]] pid_t Pid() const { return pid_; }

    // Waits for the end; gives the exit status and what went to standard output.
    [[nodiscard]] int Finish(std::string& out) {
        const int status = testsupport::FinishZqcrypt(pid_);
        std::array<char, 4096> buffer{};
        ssize_t got = 0;
        while ((got = ::read(out_.Get(), buffer.data(), buffer.size())) > 0) {
            out.append(buffer.data(), static_cast<std::size_t>(got));
        }
        return status;
    }

private:
    platform::UniqueFd out_;
    pid_t pid_ = -1;
};

void ExpectCookedMode(const termios& mode) {
    EXPECT_TRUE(mode.c_lflag & ECHO);
    EXPECT_TRUE(mode.c_lflag & ICANON);
    EXPECT_TRUE(mode.c_lflag & ISIG);
}

TEST(ZqcryptKeyPrompt, ReadsTheKeyWithoutEchoAndThenTheText) {
    PseudoTerminal terminal;
    ChildOnTerminal child(terminal, {"decode-text", "--raw"});
    terminal.ShownUntil("Client key: ");
    // "é" typed after a wrong character and a backspace; spaces are trimmed.
    // The text's first line is typed ahead with the key: it is the text's.
    terminal.Type(" x\x7F\xC3\xA9 \n\x01\n");
    terminal.ShownUntil("Client key: \r\n");
    terminal.Type("\x04");
    std::string out;
    EXPECT_EQ(child.Finish(out), 0);
    // 0x01 + 233 = 0xEA; LF + 233 = 243.
    EXPECT_EQ(out, "\xEA\xF3");
    const std::string shown = terminal.ShownUntil("");
    EXPECT_EQ(shown.find("\xC3\xA9"), std::string::npos) << "the key was echoed";
    EXPECT_EQ(shown.find('x'), std::string::npos) << "the key was echoed";
    ExpectCookedMode(terminal.Mode());
}

TEST(ZqcryptKeyPrompt, CtrlCRestoresTheTerminalAndEndsAsAnInterrupt) {
    PseudoTerminal terminal;
    ChildOnTerminal child(terminal, {"decode-text"});
    terminal.ShownUntil("Client key: ");
    terminal.Type("half a key\x03");
    std::string out;
    EXPECT_EQ(child.Finish(out), 128 + SIGINT);
    EXPECT_EQ(out, "");
    ExpectCookedMode(terminal.Mode());
}

// `timeout`, `kill`, a closed terminal window: whatever ends the program
// while the prompt hides the input gives the terminal its echo back.
TEST(ZqcryptKeyPrompt, AnEndingSignalRestoresTheTerminalAndStillEndsTheProgram) {
    for (const int signal_number : {SIGTERM, SIGHUP, SIGALRM, SIGUSR1, SIGQUIT}) {
        PseudoTerminal terminal;
        ChildOnTerminal child(terminal, {"decode-text"});
        terminal.ShownUntil("Client key: ");
        terminal.Type("half");
        child.Signal(signal_number);
        std::string out;
        EXPECT_EQ(child.Finish(out), 128 + signal_number) << strsignal(signal_number);
        EXPECT_EQ(out, "");
        ExpectCookedMode(terminal.Mode());
    }
}

// Under `nohup` a hang-up, under a shell without job control a stop, was
// ignored before zqcrypt began: the prompt's care for the terminal must not
// bring it back, so the signal neither ends the program nor asks anew.
TEST(ZqcryptKeyPrompt, ASignalIgnoredFromTheStartStaysIgnored) {
    for (const int signal_number : {SIGHUP, SIGTSTP}) {
        PseudoTerminal terminal;
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction ours {};
        ASSERT_EQ(::sigaction(signal_number, &ignore, &ours), 0);
        ChildOnTerminal child(terminal, {"decode-text", "--raw"});  // an ignored signal stays ignored across exec
        ::sigaction(signal_number, &ours, nullptr);
        terminal.ShownUntil("Client key: ");
        terminal.Type("\xC3");
        child.Signal(signal_number);
        terminal.Type("\xA9\n");
        terminal.ShownUntil("Client key: \r\n");
        terminal.Type("\x01\n\x04");
        std::string out;
        EXPECT_EQ(child.Finish(out), 0) << strsignal(signal_number);
        EXPECT_EQ(out, "\xEA\xF3") << strsignal(signal_number) << ": the key was not \"é\" whole";
        ExpectCookedMode(terminal.Mode());
    }
}

// A stop at the prompt gives the terminal its echo back for the shell; once
// continued, the input is hidden again and asked for anew, and what was
// typed before the stop is thrown away, even a whole line that came with it.
// Once the prompt is over, a stop takes effect at once.
TEST(ZqcryptKeyPrompt, AStopRestoresTheTerminalAndAContinueHidesItAgain) {
    const struct {
        const char* what;
        int signal_number;  // sent by a shell or `kill`; 0 when typed
        const char* typed;
        bool with_the_line;  // the stop and the typed line wait together until the prompt has been shown
    } rows[] = {{"SIGTSTP", SIGTSTP, "x", false},
                {"SIGTTIN", SIGTTIN, "x", false},
                {"Ctrl-Z", 0, "x\x1A", false},
                {"SIGTSTP with a line", SIGTSTP, "abc\n", true}};
    for (const auto& row : rows) {
        PseudoTerminal terminal;
        if (row.with_the_line) {
            ::tcflow(terminal.Slave(), TCOOFF);  // the prompt's write waits, its mode already set
        }
        ChildOnTerminal child(terminal, {"decode-text", "--raw"}, true);
        if (row.with_the_line) {
            const auto deadline = std::chrono::steady_clock::now() + kTimeout;
            while ((terminal.Mode().c_lflag & ECHO) != 0 && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            child.Signal(row.signal_number);
            terminal.Type(row.typed);
            ::tcflow(terminal.Slave(), TCOON);
        } else {
            terminal.ShownUntil("Client key: ");
            terminal.Type(row.typed);
            if (row.signal_number != 0) {
                child.Signal(row.signal_number);
            }
        }
        ASSERT_TRUE(child.Stopped()) << row.what;
        EXPECT_TRUE(terminal.Mode().c_lflag & ECHO) << row.what;
        child.Signal(SIGCONT);
        terminal.ShownUntil("Client key: \r\nClient key: ");
        EXPECT_FALSE(terminal.Mode().c_lflag & ECHO) << row.what;
        terminal.Type("\xC3\xA9\n");
        terminal.ShownUntil("Client key: \r\nClient key: \r\n");
        child.Signal(SIGTSTP);
        ASSERT_TRUE(child.Stopped()) << row.what << ": a stop after the prompt was held back";
        child.Signal(SIGCONT);
        terminal.Type("\x01\n\x04");
        std::string out;
        EXPECT_EQ(child.Finish(out), 0) << row.what;
        EXPECT_EQ(out, "\xEA\xF3") << row.what << ": the key was not \"é\" alone";
        const std::string shown = terminal.ShownUntil("");
        EXPECT_EQ(shown.find("\xC3\xA9"), std::string::npos) << row.what << ": the key was echoed";
    }
}

// Under a shell with job control, on the terminal that is the session's:
// Ctrl-Z at the prompt stops the whole pipeline, which the shell then takes
// as stopped (128 + SIGTSTP); continued in the background, the prompt stops
// again on SIGTTOU and leaves the shell's mode alone; `fg` asks anew.
TEST(ZqcryptKeyPrompt, UnderJobControlCtrlZStopsThePipelineAndTheBackgroundWaits) {
    PseudoTerminal terminal;
    const std::string script = R"(set -m; "$0" decode-text --raw | od -An -tx1; echo "stopped $?"; bg >/dev/null
                                  wait 2>/dev/null; jobs -l; echo "fg?"; read -r; fg >/dev/null)";
    testsupport::ChildProgram shell_in_a_session;  // with the terminal as the session's own
    shell_in_a_session.program = "/usr/bin/setsid";
    shell_in_a_session.arguments = {"--ctty", "/bin/bash", "-c", script, testsupport::ZqcryptPath()};
    shell_in_a_session.environment = testsupport::EnvironmentWith({"LC_ALL=C.UTF-8", "ZQ_KEY"});
    const pid_t shell =
        testsupport::StartChild(shell_in_a_session, terminal.Slave(), terminal.Slave(), terminal.Slave());
    terminal.ShownUntil("Client key: ");
    terminal.Type("x\x1A");
    terminal.ShownUntil("stopped 148");
    terminal.ShownUntil("Stopped (tty output)");  // SIGTTOU
    terminal.ShownUntil("fg?\r\n");
    ExpectCookedMode(terminal.Mode());
    terminal.Type("\n");
    terminal.ShownUntil("fg?\r\n\r\nClient key: ");
    terminal.Type("\xC3\xA9\n\x01\n");
    terminal.ShownUntil("fg?\r\n\r\nClient key: \r\n");
    terminal.Type("\x04");
    terminal.ShownUntil(" ea f3");
    EXPECT_EQ(testsupport::FinishChild(shell), 0);
}

// The key is about to be typed: from here on no crash may write it to disk.
TEST(ZqcryptKeyPrompt, RunsWithoutCoreDumps) {
    PseudoTerminal terminal;
    ChildOnTerminal child(terminal, {"decode-text"});
    terminal.ShownUntil("Client key: ");
    std::ifstream limits("/proc/" + std::to_string(child.Pid()) + "/limits");
    std::string line;
    std::string core_line;
    while (std::getline(limits, line)) {
        if (line.starts_with("Max core file size")) {
            core_line = line;
        }
    }
    terminal.Type("\x04");
    std::string out;
    EXPECT_EQ(child.Finish(out), 1);
    EXPECT_THAT(core_line, ::testing::MatchesRegex("Max core file size +0 +0 +bytes *"));
}

TEST(ZqcryptKeyPrompt, EndOfInputAtThePromptIsAMissingKey) {
    PseudoTerminal terminal;
    ChildOnTerminal child(terminal, {"decode-text"});
    terminal.ShownUntil("Client key: ");
    terminal.Type("\x04");
    std::string out;
    EXPECT_EQ(child.Finish(out), 1);
    EXPECT_NE(terminal.ShownUntil("Key Missing!").find("zqcrypt: Key Missing!"), std::string::npos);
    ExpectCookedMode(terminal.Mode());
}

}  // namespace
