#include "support/writer_faults.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <mutex>
#include <optional>
#include <utility>

namespace platform::publish {
namespace {

constexpr std::size_t kCalls = 5;

// What the living fault objects asked for.
struct Plan {
    std::mutex mutex;
    std::array<int, kCalls> call_errors{};
    bool mode_change_ignored = false;
    int sync_error = 0;
    std::function<void()> before_publishing;
    std::optional<std::vector<int>> folder_syncs;
};

Plan& ThePlan() {
    static Plan plan;
    return plan;
}

// Puts `value` in `slot` under the plan's lock; returns what was there.
template <typename T>
T Exchange(T& slot, T value) {
    const std::lock_guard lock(ThePlan().mutex);
    return std::exchange(slot, std::move(value));
}

int& ErrorOf(Call call) {
    return ThePlan().call_errors.at(static_cast<std::size_t>(call));
}

}  // namespace

FailingCall::FailingCall(Call call, int errno_value) : call_(call), previous_(Exchange(ErrorOf(call), errno_value)) {}

FailingCall::~FailingCall() {
    (void)Exchange(ErrorOf(call_), previous_);
}

IgnoredModeChange::IgnoredModeChange() : previous_(Exchange(ThePlan().mode_change_ignored, true)) {}

IgnoredModeChange::~IgnoredModeChange() {
    (void)Exchange(ThePlan().mode_change_ignored, previous_);
}

ForcedNamedTemporary::ForcedNamedTemporary(NamedTemporary how)
    : unnamed_(Call::kUnnamedOpen, EOPNOTSUPP),
      rename_(Call::kRenameNoReplace, how == NamedTemporary::kRenameNoReplace ? 0 : EINVAL),
      link_(Call::kLink, how == NamedTemporary::kPlainRename ? EPERM : 0) {}

SyncFailure::SyncFailure(int errno_value) {
    (void)Exchange(ThePlan().sync_error, errno_value);
}

SyncFailure::~SyncFailure() {
    (void)Exchange(ThePlan().sync_error, 0);
}

BeforePublishing::BeforePublishing(std::function<void()> hook) {
    (void)Exchange(ThePlan().before_publishing, std::move(hook));
}

BeforePublishing::~BeforePublishing() {
    (void)Exchange(ThePlan().before_publishing, std::function<void()>());
}

FolderSyncs::FolderSyncs() {
    (void)Exchange(ThePlan().folder_syncs, std::optional<std::vector<int>>(std::in_place));
}

FolderSyncs::~FolderSyncs() {
    (void)Exchange(ThePlan().folder_syncs, std::optional<std::vector<int>>());
}

std::vector<int> FolderSyncs::Outcomes() const {
    const std::lock_guard lock(ThePlan().mutex);
    return ThePlan().folder_syncs.value_or(std::vector<int>());
}

namespace detail {

int InjectedError(Call call) {
    const std::lock_guard lock(ThePlan().mutex);
    return ErrorOf(call);
}

bool ModeChangeIgnored() {
    const std::lock_guard lock(ThePlan().mutex);
    return ThePlan().mode_change_ignored;
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

void FolderSynced(int errno_value) {
    const std::lock_guard lock(ThePlan().mutex);
    if (ThePlan().folder_syncs) {
        ThePlan().folder_syncs->push_back(errno_value);
    }
}

}  // namespace detail
}  // namespace platform::publish
