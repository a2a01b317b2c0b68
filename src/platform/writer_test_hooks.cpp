// The program's own test hooks: none of them steps in. Kept alone in this
// file, so that a test's definitions take their place at link time.
#include "platform/writer_test_hooks.h"

namespace platform::publish::detail {

int InjectedError(Call /*call*/) {
    return 0;
}

bool ModeChangeIgnored() {
    return false;
}

int InjectedSyncError() {
    return 0;
}

void RunBeforePublishing() {}

void FolderSynced(int /*errno_value*/) {}

}  // namespace platform::publish::detail
