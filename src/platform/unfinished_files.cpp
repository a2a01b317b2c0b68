#include "platform/unfinished_files.h"

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace platform {
namespace {

// A slot is free, being filled or emptied, ready to be read, or taken by a
// signal handler on the process's way out. Lock-free atomics keep the handler
// from ever waiting for the thread it interrupted.
enum SlotState : int { kFree, kBusy, kReady, kRemoving };

struct Slot {
    std::atomic<int> state{kFree};
    std::array<char, PATH_MAX> path{};
};

constexpr std::size_t kSlots = 4;
static_assert(std::atomic<int>::is_always_lock_free);

std::array<Slot, kSlots>& Slots() noexcept {
    // The one list of the process: a handler cannot be handed anything else.
    // Constant-initialized, so a handler never meets it half built.
    constinit static std::array<Slot, kSlots> slots_of_process{};
    return slots_of_process;
}

}  // namespace

UnfinishedFile::UnfinishedFile(const std::filesystem::path& path) noexcept {
    const std::string& text = path.native();
    if (text.size() >= PATH_MAX) {
        return;
    }
    for (std::size_t i = 0; i < kSlots; ++i) {
        Slot& slot = Slots()[i];
        int expected = kFree;
        if (slot.state.compare_exchange_strong(expected, kBusy)) {
            std::memcpy(slot.path.data(), text.c_str(), text.size() + 1);
            slot.state.store(kReady);
            slot_ = static_cast<int>(i);
            return;
        }
    }
}

UnfinishedFile::~UnfinishedFile() {
    if (slot_ < 0) {
        return;
    }
    // A handler that has taken the slot is about to end the process: leave it be.
    int expected = kReady;
    if (Slots()[static_cast<std::size_t>(slot_)].state.compare_exchange_strong(expected, kBusy)) {
        Slots()[static_cast<std::size_t>(slot_)].state.store(kFree);
    }
}

void RemoveUnfinishedFiles() noexcept {
    for (Slot& slot : Slots()) {
        int expected = kReady;
        if (slot.state.compare_exchange_strong(expected, kRemoving)) {
            ::unlink(slot.path.data());
        }
    }
}

}  // namespace platform
