#include "support/crypto_faults.h"

#include <array>
#include <atomic>
#include <mutex>

namespace platform::crypt {
namespace {

constexpr std::size_t kCallCount = static_cast<std::size_t>(CryptCall::kDecrypt) + 1;

struct Planned {
    bool armed = false;
    std::int32_t code = 0;
    int successes_left = 0;
};

// What the living CryptCallFailure objects asked for. The flag keeps the
// calls of a test that arms none off the mutex.
struct Plan {
    std::atomic<bool> any_armed{false};
    std::mutex mutex;
    std::array<Planned, kCallCount> calls{};
};

Plan& ThePlan() {
    static Plan plan;
    return plan;
}

void UpdateAnyArmed(Plan& plan) {
    bool any = false;
    for (const Planned& planned : plan.calls) {
        any = any || planned.armed;
    }
    plan.any_armed.store(any);
}

}  // namespace

CryptCallFailure::CryptCallFailure(CryptCall call, std::int32_t code, int successes_first) : call_(call) {
    Plan& plan = ThePlan();
    const std::lock_guard lock(plan.mutex);
    plan.calls[static_cast<std::size_t>(call)] = Planned{true, code, successes_first};
    UpdateAnyArmed(plan);
}

CryptCallFailure::~CryptCallFailure() {
    Plan& plan = ThePlan();
    const std::lock_guard lock(plan.mutex);
    plan.calls[static_cast<std::size_t>(call_)] = Planned{};
    UpdateAnyArmed(plan);
}

namespace detail {

std::optional<std::int32_t> InjectedFailure(CryptCall call) {
    Plan& plan = ThePlan();
    if (!plan.any_armed.load()) {
        return std::nullopt;
    }
    const std::lock_guard lock(plan.mutex);
    Planned& planned = plan.calls[static_cast<std::size_t>(call)];
    if (!planned.armed) {
        return std::nullopt;
    }
    if (planned.successes_left > 0) {
        --planned.successes_left;
        return std::nullopt;
    }
    return planned.code;
}

}  // namespace detail
}  // namespace platform::crypt
