#include "platform/scoped_signal_handler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::TakeOver;
using Handler = void (*)(int);

extern "C" void Ours(int /*signal_number*/) {}
extern "C" void Theirs(int /*signal_number*/) {}

Handler HandlerOf(int signal_number) {
    struct sigaction now {};
    return ::sigaction(signal_number, nullptr, &now) == 0 ? now.sa_handler : nullptr;
}

TEST(ScopedSignalHandler, TakesOverOnlyWhatItMayAndPutsItBack) {
    const struct {
        Handler found;
        TakeOver take_over;
        bool taken;
    } rows[] = {
        {SIG_DFL, TakeOver::kOnlyDefault, true},    {SIG_IGN, TakeOver::kOnlyDefault, false},
        {Theirs, TakeOver::kOnlyDefault, false},    {SIG_DFL, TakeOver::kUnlessIgnored, true},
        {SIG_IGN, TakeOver::kUnlessIgnored, false}, {Theirs, TakeOver::kUnlessIgnored, true},
    };
    struct sigaction ours {};
    ours.sa_handler = Ours;
    sigemptyset(&ours.sa_mask);
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        std::signal(SIGUSR1, rows[row].found);
        {
            std::vector<platform::ScopedSignalHandler> handlers;
            handlers.emplace_back(SIGUSR1, ours, rows[row].take_over);
            handlers.reserve(2);  // moved: the one left behind puts nothing back
            EXPECT_EQ(HandlerOf(SIGUSR1) == Ours, rows[row].taken) << "row " << row;
        }
        EXPECT_EQ(HandlerOf(SIGUSR1), rows[row].found) << "row " << row;
    }
    std::signal(SIGUSR1, SIG_DFL);
}

}  // namespace
