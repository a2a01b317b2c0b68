#include "support/child_process.h"

#include "platform/unique_fd.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsupport {
namespace {

class Pipe {
public:
    Pipe() {
        if (::pipe2(fds_.data(), O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    [[nodiscard]] int Read() const { return fds_[0]; }
    [[nodiscard]] int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    std::array<int, 2> fds_{-1, -1};
};

// Feeds `input` and drains both outputs at once, so that a child that
// writes much before it reads can never block the test.
void Exchange(Pipe& in, std::string_view input, Pipe& out, Pipe& err, ProcessResult& result, pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
    if (input.empty()) {
        in.CloseWrite();
    }
    std::array<char, 65536> buffer{};
    for (;;) {
        std::array<pollfd, 3> polled{{{in.Write(), POLLOUT, 0}, {out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}}};
        if (polled[0].fd < 0 && polled[1].fd < 0 && polled[2].fd < 0) {
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ADD_FAILURE() << "the child did not finish in time";
            return;
        }
        if (::poll(polled.data(), polled.size(), 100) < 0 && errno != EINTR) {
            throw std::runtime_error("poll failed");
        }
        if (polled[0].revents != 0) {
            const ssize_t put = ::write(in.Write(), input.data(), input.size());
            if (put > 0) {
                input.remove_prefix(static_cast<std::size_t>(put));
            }
            if (put < 0 || input.empty()) {
                in.CloseWrite();
            }
        }
        for (const std::size_t i : {std::size_t{1}, std::size_t{2}}) {
            if (polled[i].revents == 0) {
                continue;
            }
            const ssize_t got = ::read(polled[i].fd, buffer.data(), buffer.size());
            if (got > 0) {
                (i == 1 ? result.out : result.err).append(buffer.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                i == 1 ? out.CloseRead() : err.CloseRead();
            }
        }
    }
}

[[nodiscard]] platform::UniqueFd OpenStream(const std::optional<std::string>& path, int flags) {
    platform::UniqueFd fd;
    if (path) {
        fd.Reset(::open(path->c_str(), flags | O_CLOEXEC));
        if (!fd.Valid()) {
            throw std::runtime_error("cannot open " + *path);
        }
    }
    return fd;
}

[[nodiscard]] std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& string : strings) {
        pointers.push_back(string.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
    const auto name_of = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    for (const std::string& change : changes) {
        std::erase_if(environment, [&](const std::string& entry) { return name_of(entry) == name_of(change); });
        if (change.find('=') != std::string::npos) {
            environment.push_back(change);
        }
    }
    return environment;
}

pid_t StartChild(const ChildProgram& child, int in, int out, int err) {
    std::string program = child.program.string();
    std::vector<std::string> arguments = {program};
    if (child.address_space_kib) {
        // The shell sets the limit and then becomes the program.
        arguments = {"/bin/sh", "-c", "ulimit -v " + std::to_string(*child.address_space_kib) + R"( && exec "$0" "$@")",
                     program};
        program = "/bin/sh";
    }
    arguments.insert(arguments.end(), child.arguments.begin(), child.arguments.end());
    std::vector<std::string> environment = child.environment;
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    if (child.working_dir) {
        posix_spawn_file_actions_addchdir_np(&actions, child.working_dir->c_str());
    }
    // An ignored signal stays ignored across exec: the child gets SIGPIPE's
    // default back, as it would from a shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, static_cast<short>(POSIX_SPAWN_SETSIGDEF | (child.own_process_group ? POSIX_SPAWN_SETPGROUP : 0)));

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }
    return pid;
}

int FinishChild(pid_t child, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int wait_status = 0;
    for (;;) {
        const pid_t waited = ::waitpid(child, &wait_status, WNOHANG);
        if (waited == child) {
            break;
        }
        if (waited < 0 && errno != EINTR) {
            return -1;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ADD_FAILURE() << "the child did not finish in time";
            while (::waitpid(child, &wait_status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(wait_status)) {
        return WEXITSTATUS(wait_status);
    }
    return WIFSIGNALED(wait_status) ? 128 + WTERMSIG(wait_status) : -1;
}

ProcessResult RunChild(const ChildProgram& child, const ChildStreams& streams) {
    // The child must not die of SIGPIPE on our side of a pipe we closed early.
    std::signal(SIGPIPE, SIG_IGN);

    Pipe in;
    Pipe out;
    Pipe err;
    const platform::UniqueFd in_file = OpenStream(streams.stdin_path, O_RDONLY);
    const platform::UniqueFd out_file = OpenStream(streams.stdout_path, O_WRONLY);
    // A stream nobody reads is closed before the child starts: its very first
    // write must fail, however late the test gets the processor back.
    if (streams.stdout_closed) {
        out.CloseRead();
    }
    if (streams.stderr_closed) {
        err.CloseRead();
    }
    const pid_t pid = StartChild(child, in_file.Valid() ? in_file.Get() : in.Read(),
                                 out_file.Valid() ? out_file.Get() : out.Write(), err.Write());
    in.CloseRead();
    out.CloseWrite();
    err.CloseWrite();

    ProcessResult result;
    Exchange(in, streams.input, out, err, result, pid);
    result.status = FinishChild(pid);
    return result;
}

}  // namespace testsupport
