#include "platform/publish_fault.h"

#include <mutex>
#include <optional>
#include <utility>

namespace platform::publish {
namespace {

// TEST SEAM STATE: what the living seam objects asked for.
struct Plan {
    std::mutex mutex;
    std::optional<NamedTemporary> named;
    int sync_error = 0;
    std::function<void()> before_publishing;
};

Plan& ThePlan() {
    static Plan plan;
    return plan;
}

}  // namespace

ForcedNamedTemporary::ForcedNamedTemporary(NamedTemporary how) {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().named = how;
}

ForcedNamedTemporary::~ForcedNamedTemporary() {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().named.reset();
}

SyncFailure::SyncFailure(int errno_value) {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().sync_error = errno_value;
}

SyncFailure::~SyncFailure() {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().sync_error = 0;
}

BeforePublishing::BeforePublishing(std::function<void()> hook) {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().before_publishing = std::move(hook);
}

BeforePublishing::~BeforePublishing() {
    const std::lock_guard lock(ThePlan().mutex);
    ThePlan().before_publishing = nullptr;
}

namespace detail {

bool UnnamedFilesRefused() {
    const std::lock_guard lock(ThePlan().mutex);
    return ThePlan().named.has_value();
}

bool RenameNoReplaceRefused() {
    const std::lock_guard lock(ThePlan().mutex);
    return ThePlan().named == NamedTemporary::kLinkThenUnlink;
}

int InjectedSyncError() {
    const std::lock_guard lock(ThePlan().mutex);
    return ThePlan().sync_error;
}

void RunBeforePublishing() {
    std::function<void()> hook;
    {
        const std::lock_guard lock(ThePlan().mutex);
        hook = ThePlan().before_publishing;
    }
    if (hook) {
        hook();  // outside the lock: the hook may write files itself
    }
}

}  // namespace detail
}  // namespace platform::publish
