#include "support/pump_faults.h"

#include <condition_variable>
#include <mutex>

namespace cipher {
namespace {

// What the living HeldChunks asked for, and how far the pump has come.
struct Hold {
    std::mutex mutex;
    std::condition_variable changed;
    bool armed = false;
    std::chrono::milliseconds patience{0};
    int allowed = 0;
    int passed = 0;
    bool holding = false;
};

Hold& TheHold() {
    static Hold hold;
    return hold;
}

}  // namespace

HeldChunks::HeldChunks(std::chrono::milliseconds patience) {
    Hold& hold = TheHold();
    const std::lock_guard lock(hold.mutex);
    hold.armed = true;
    hold.patience = patience;
    hold.allowed = 0;
    hold.passed = 0;
}

HeldChunks::~HeldChunks() {
    Hold& hold = TheHold();
    {
        const std::lock_guard lock(hold.mutex);
        hold.armed = false;
    }
    hold.changed.notify_all();
}

void HeldChunks::Allow(int count) {
    Hold& hold = TheHold();
    {
        const std::lock_guard lock(hold.mutex);
        hold.allowed += count;
    }
    hold.changed.notify_all();
}

bool HeldChunks::Holding(int number) const {
    Hold& hold = TheHold();
    const std::lock_guard lock(hold.mutex);
    return hold.holding && hold.passed + 1 == number;
}

namespace detail {

void BeforeEachChunk() {
    Hold& hold = TheHold();
    std::unique_lock lock(hold.mutex);
    if (!hold.armed) {
        return;
    }
    hold.holding = true;
    (void)hold.changed.wait_for(lock, hold.patience, [&hold] { return !hold.armed || hold.allowed > hold.passed; });
    hold.holding = false;
    ++hold.passed;
}

}  // namespace detail
}  // namespace cipher
