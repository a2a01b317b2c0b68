#include "zqcrypt_process.h"

#include "platform/unique_fd.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {
namespace {

constexpr auto kTimeout = std::chrono::seconds(10);

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
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
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
            ADD_FAILURE() << "zqcrypt did not finish in time";
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
        for (int i : {1, 2}) {
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

}  // namespace

std::filesystem::path ZqcryptPath() {
    return ZQCRYPT_PATH;
}

ProcessResult RunZqcrypt(std::vector<std::string> arguments, std::optional<std::string> key, std::string input) {
    ProcessRequest request;
    request.arguments = std::move(arguments);
    request.key = std::move(key);
    request.input = std::move(input);
    return RunZqcrypt(request);
}

ProcessResult RunZqcrypt(const ProcessRequest& request) {
    // The child must not die of SIGPIPE on our side of a pipe we closed early.
    std::signal(SIGPIPE, SIG_IGN);

    Pipe in;
    Pipe out;
    Pipe err;
    platform::UniqueFd out_file;
    if (request.stdout_path) {
        out_file.Reset(::open(request.stdout_path->c_str(), O_WRONLY | O_CLOEXEC));
        if (!out_file.Valid()) {
            throw std::runtime_error("cannot open " + *request.stdout_path);
        }
    }
    platform::UniqueFd in_file;
    if (request.stdin_path) {
        in_file.Reset(::open(request.stdin_path->c_str(), O_RDONLY | O_CLOEXEC));
        if (!in_file.Valid()) {
            throw std::runtime_error("cannot open " + *request.stdin_path);
        }
    }
    const pid_t child = StartZqcrypt(request.arguments, request.key, in_file.Valid() ? in_file.Get() : in.Read(),
                                     out_file.Valid() ? out_file.Get() : out.Write(), err.Write(),
                                     request.address_space_kib, request.working_dir);
    in.CloseRead();
    out.CloseWrite();
    err.CloseWrite();
    if (request.stdout_closed) {
        out.CloseRead();
    }
    if (request.stderr_closed) {
        err.CloseRead();
    }

    ProcessResult result;
    Exchange(in, request.input, out, err, result, child);
    result.status = FinishZqcrypt(child);
    return result;
}

pid_t StartZqcrypt(const std::vector<std::string>& arguments, const std::optional<std::string>& key, int in, int out,
                   int err, const std::optional<std::size_t>& address_space_kib,
                   const std::optional<std::string>& working_dir, bool own_process_group) {
    std::string program = ZQCRYPT_PATH;
    std::vector<std::string> argument_strings = {program};
    if (address_space_kib) {
        // The shell sets the limit and then becomes zqcrypt.
        argument_strings = {"/bin/sh", "-c",
                            "ulimit -v " + std::to_string(*address_space_kib) + R"( && exec "$0" "$@")", program};
        program = "/bin/sh";
    }
    argument_strings.insert(argument_strings.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = {"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
    if (key) {
        environment.push_back("ZQ_KEY=" + *key);
    }
    std::vector<char*> argv;
    for (std::string& argument : argument_strings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    if (working_dir) {
        posix_spawn_file_actions_addchdir_np(&actions, working_dir->c_str());
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
        &attributes, static_cast<short>(POSIX_SPAWN_SETSIGDEF | (own_process_group ? POSIX_SPAWN_SETPGROUP : 0)));

    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    return child;
}

int FinishZqcrypt(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
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
            ADD_FAILURE() << "zqcrypt did not finish in time";
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

}  // namespace testsupport
