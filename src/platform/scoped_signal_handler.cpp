#include "platform/scoped_signal_handler.h"

#include <utility>

namespace platform {
namespace {

[[nodiscard]] bool Takes(TakeOver take_over, const struct sigaction& found) noexcept {
    if ((found.sa_flags & SA_SIGINFO) != 0) {
        return take_over == TakeOver::kUnlessIgnored;
    }
    return take_over == TakeOver::kUnlessIgnored ? found.sa_handler != SIG_IGN : found.sa_handler == SIG_DFL;
}

}  // namespace

ScopedSignalHandler::ScopedSignalHandler(int signal_number, const struct sigaction& action, TakeOver take_over) noexcept
    : signal_number_(signal_number) {
    if (::sigaction(signal_number_, nullptr, &previous_) != 0 || !Takes(take_over, previous_)) {
        return;
    }
    installed_ = ::sigaction(signal_number_, &action, nullptr) == 0;
}

ScopedSignalHandler::~ScopedSignalHandler() {
    if (installed_) {
        (void)::sigaction(signal_number_, &previous_, nullptr);
    }
}

ScopedSignalHandler::ScopedSignalHandler(ScopedSignalHandler&& other) noexcept
    : signal_number_(other.signal_number_),
      previous_(other.previous_),
      installed_(std::exchange(other.installed_, false)) {}

}  // namespace platform
