#include "support/unprivileged.h"

#include <grp.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {
namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

}  // namespace

int RunUnprivileged(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0) {
                ::_exit(255);
            }
        }
        int result = 255;
        try {
            result = body();
        } catch (...) {
            result = 254;
        }
        ::_exit(result);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) >= 254) {
        return -1;
    }
    return WEXITSTATUS(status);
}

void GiveToUnprivilegedUser(const std::filesystem::path& path) {
    if (::geteuid() == 0 && ::lchown(path.c_str(), kNobody, kNoGroup) != 0) {
        throw std::runtime_error("cannot hand " + path.string() + " to nobody");
    }
}

}  // namespace testsupport
