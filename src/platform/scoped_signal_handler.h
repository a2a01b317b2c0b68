#pragma once

#include <bit>
#include <csignal>

namespace platform {

// The bits for sigaction's sa_flags, an int: SA_RESETHAND is its top bit,
// written as an unsigned constant, and goes in as it is.
constexpr int SignalActionFlags(unsigned int flags) noexcept {
    return std::bit_cast<int>(flags);
}

// Which dispositions a ScopedSignalHandler takes a signal over from.
enum class TakeOver {
    // Any but an ignored signal: one ignored when the program began (`nohup`)
    // ends nothing, and a handler on it would bring it back.
    kUnlessIgnored,
    // Only the default action: an ignored signal stays ignored, and a handler
    // that someone else put there stays too.
    kOnlyDefault,
};

// Puts `action` on `signal_number` while it lives, when the disposition found
// there is one that `take_over` allows, and puts that disposition back when it
// goes. Moving hands the duty to put it back to the new object.
class ScopedSignalHandler {
public:
    ScopedSignalHandler(int signal_number, const struct sigaction& action, TakeOver take_over) noexcept;
    ~ScopedSignalHandler();
    ScopedSignalHandler(ScopedSignalHandler&& other) noexcept;
    ScopedSignalHandler(const ScopedSignalHandler&) = delete;
    ScopedSignalHandler& operator=(const ScopedSignalHandler&) = delete;
    ScopedSignalHandler& operator=(ScopedSignalHandler&&) = delete;

private:
    int signal_number_;
    struct sigaction previous_ {};
    bool installed_ = false;
};

}  // namespace platform
