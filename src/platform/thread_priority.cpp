#include "platform/thread_priority.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace platform {

void LowerThisThreadsPriority() noexcept {
#ifdef __linux__
    // On Linux the nice value belongs to each thread, named by its thread id;
    // getpriority() may rightly return -1, so only errno tells a failure.
    const auto self = static_cast<id_t>(::gettid());
    errno = 0;
    const int niceness = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0) {
        (void)::setpriority(PRIO_PROCESS, self, niceness + kHelperThreadNiceness);
    }
#endif
}

}  // namespace platform
