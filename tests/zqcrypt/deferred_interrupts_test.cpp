// What zqcrypt holds back during a file job, and what it leaves alone.
#include "zqcrypt/deferred_interrupts.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Sets `signal_number` to `handler` while it lives.
class SignalAction {
public:
    SignalAction(int signal_number, void (*handler)(int)) : signal_number_(signal_number) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal_number_, &action, &previous_);
    }
    ~SignalAction() { ::sigaction(signal_number_, &previous_, nullptr); }
    SignalAction(const SignalAction&) = delete;
    SignalAction& operator=(const SignalAction&) = delete;

private:
    int signal_number_;
    struct sigaction previous_ {};
};

bool HasDefaultAction(int signal_number) {
    struct sigaction current {};
    return ::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

TEST(DeferredInterrupts, AHangUpIgnoredUnderNohupDoesNotStopTheJob) {
    const SignalAction nohup(SIGHUP, SIG_IGN);
    const SignalAction quit(SIGQUIT, SIG_DFL);
    {
        const zqcrypt::DeferredInterrupts interrupts;
        EXPECT_FALSE(HasDefaultAction(SIGQUIT)) << "a quit removes the unfinished file while the job runs";
        ASSERT_EQ(::raise(SIGHUP), 0);
        EXPECT_FALSE(interrupts.Arrived()) << "held back, the ignored hang-up would wait as pending";
    }
    EXPECT_TRUE(HasDefaultAction(SIGQUIT));
}

}  // namespace
