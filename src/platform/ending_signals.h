#pragma once

#include <array>
#include <csignal>
#include <vector>

// The signals that end a program, as both programs answer them.
namespace platform {

// Every signal whose default action ends the process and that a handler can
// catch (all but SIGKILL and SIGSTOP), the real-time ones included: what a
// program must answer for when it has something to put right on its way out.
[[nodiscard]] std::vector<int> EndingSignals();

// The ones with which a user, a terminal or a session asks the program to
// end: Ctrl-C, `kill` and a hang-up. Each program answers them its own way,
// in order; every other ending signal ends it at once.
inline constexpr std::array<int, 3> kEndRequests = {SIGINT, SIGTERM, SIGHUP};

[[nodiscard]] bool IsEndRequest(int signal_number) noexcept;

// Whether `signal_number` is ignored now, as `nohup` leaves a hang-up. A
// program honours what it was started with: it puts no handler of its own
// over an ignored signal, nor holds one back, which would keep it pending.
[[nodiscard]] bool IsIgnored(int signal_number) noexcept;

}  // namespace platform
