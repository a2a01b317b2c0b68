#include "platform/process_guard.h"

#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace testsupport;

// Each case runs in a child, as another user: the flag cannot be set back,
// and only an unprivileged process shows what the flag takes away.
TEST(ProcessGuard, NoCoreDumpAndTheFlagReadsBack) {
    const int result = testsupport::RunUnprivileged([] {
        // Dropping to another user has cleared the flag already; set it again
        // so that the reading below says what ForbidCoreDumps did.
        if (::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0) != 0 || ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 1) {
            return 1;
        }
        platform::ForbidCoreDumps();
        rlimit core{};
        if (::getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0 || core.rlim_max != 0) {
            return 2;
        }
        return ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 0 ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
}

// A file that is written under no name and given its name once complete: a
// process that is no longer dumpable owns nothing in /proc, yet it may still
// follow its own descriptors there.
TEST(ProcessGuard, ANonDumpableProcessStillPublishesThroughProcSelfFd) {
    TempDir dir;
    testsupport::GiveToUnprivilegedUser(dir.Path());
    const int result = testsupport::RunUnprivileged([&] {
        platform::ForbidCoreDumps();
        if (::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0) {
            return 4;
        }
        const int folder = ::open(dir.Path().c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
        const int fd = ::open(dir.Path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (folder < 0 || fd < 0) {
            return 1;
        }
        const std::string text = "published";
        if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            return 2;
        }
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        const int linked = ::linkat(AT_FDCWD, self.c_str(), folder, "name", AT_SYMLINK_FOLLOW);
        ::close(fd);
        ::close(folder);
        return linked == 0 ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir / "name"), "published");
}

}  // namespace
