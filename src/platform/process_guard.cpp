#include "platform/process_guard.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace platform {

void ForbidCoreDumps() noexcept {
    // Either one alone leaves a way: the limit is the process's own to raise
    // again, and a core pattern that pipes to a handler ignores the limit.
    (void)::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit none{0, 0};
    (void)::setrlimit(RLIMIT_CORE, &none);
}

}  // namespace platform
