#include "ui/main/termination_signals.h"

#include "platform/ending_signals.h"
#include "ui/main/frm_decode.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ui {
namespace {

// The pipe's write end, for the handler: the only state a handler may reach.
std::atomic<int> signal_pipe{-1};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void WriteSignalToPipe(int signal_number) {
    const int saved_errno = errno;
    const int fd = signal_pipe.load();
    if (fd >= 0) {
        // A full pipe already holds a signal to act on: the byte may be lost.
        const auto byte = static_cast<unsigned char>(signal_number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved_errno;
}

}  // namespace

TerminationSignals::TerminationSignals(frmDecode& window) : QObject(&window), window_(window) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // without a pipe the signals keep their ordinary effect
    }
    read_end_.Reset(ends[0]);
    write_end_.Reset(ends[1]);
    signal_pipe.store(write_end_.Get());
    notifier_ = new QSocketNotifier(read_end_.Get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::OnSignalPending);

    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal_number : platform::kEndRequests) {
        handlers_.emplace_back(signal_number, action, platform::TakeOver::kUnlessIgnored);
    }
}

TerminationSignals::~TerminationSignals() {
    if (!write_end_.Valid()) {
        return;
    }
    handlers_.clear();  // before the handler loses its pipe
    signal_pipe.store(-1);
    delete notifier_;  // before its descriptor closes with the members
}

void TerminationSignals::OnSignalPending() {
    // Every signal pending asks for the same: empty the pipe, close once.
    std::array<unsigned char, 64> bytes{};
    while (::read(read_end_.Get(), bytes.data(), bytes.size()) > 0) {
    }
    window_.EndOnRequest();
}

void CloseOnTerminationSignals(frmDecode& window) {
    new TerminationSignals(window);  // owned by the window
}

}  // namespace ui
