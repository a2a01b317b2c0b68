#include "zqcrypt/progress_display.h"

#include "platform/unique_fd.h"
#include "zqcrypt/job_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using zqcrypt::ProgressDisplay;
using TimePoint = std::chrono::steady_clock::time_point;

// A display on a fake clock that records what it draws.
struct Fixture {
    TimePoint now{};
    std::vector<std::string> drawn;
    ProgressDisplay display{[this](std::string_view text) { drawn.emplace_back(text); }, [this] { return now; }};
};

TEST(ProgressDisplay, StaysQuietDuringTheFirstTenthOfASecond) {
    Fixture f;
    for (int ms = 0; ms < 100; ms += 10) {
        f.now = TimePoint(std::chrono::milliseconds(ms));
        f.display.Update(static_cast<std::uint64_t>(ms), 1000);
    }
    f.display.Clear();
    EXPECT_TRUE(f.drawn.empty());
}

TEST(ProgressDisplay, DrawsAtMostTenTimesASecond) {
    Fixture f;
    for (int ms = 0; ms <= 3000; ++ms) {
        f.now = TimePoint(std::chrono::milliseconds(ms));
        f.display.Update(static_cast<std::uint64_t>(ms), 3000);
    }
    EXPECT_GE(f.drawn.size(), 29U);
    EXPECT_LE(f.drawn.size(), 30U);
    for (const std::string& text : f.drawn) {
        EXPECT_EQ(text.substr(0, 4), "\r\x1b[K") << "each drawing starts by erasing the line";
    }
}

TEST(ProgressDisplay, ClearErasesTheLineOnlyWhenOneIsShown) {
    Fixture f;
    f.display.Update(0, 100);
    f.now += 150ms;
    f.display.Update(50, 100);
    ASSERT_EQ(f.drawn.size(), 1U);
    f.display.Clear();
    f.display.Clear();
    ASSERT_EQ(f.drawn.size(), 2U);
    EXPECT_EQ(f.drawn.back(), "\r\x1b[K");
}

TEST(ProgressDisplay, ShowsPercentSpeedAndTimeLeft) {
    struct Row {
        std::uint64_t done;
        std::uint64_t total;
        std::chrono::milliseconds elapsed;
        const char* line;
    };
    const Row rows[] = {
        {50'000'000, 100'000'000, 1000ms, " 50%      50.0 MB/s  0:00:01 left"},
        {1'000'000, 400'000'000, 2000ms, "  0%       0.5 MB/s  0:13:18 left"},
        {300'000'000, 1'000'000'000'000, 1000ms, "  0%     300.0 MB/s  0:55:32 left"},
        {999, 1000, 1000ms, " 99%       0.0 MB/s  0:00:00 left"},
        {1000, 1000, 1000ms, "100%       0.0 MB/s  0:00:00 left"},
        {0, 1000, 1000ms, "  0%"},
        {10, 1000, 0ms, "  1%"},
        {5'000'000, 5'000'000'000'000, 1000ms, "  0%       5.0 MB/s  277:46:39 left"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ProgressDisplay::FormatLine(row.done, row.total, row.elapsed), row.line)
            << row.done << " of " << row.total;
    }
}

// Status lines and the progress line share the terminal, as in a shell: a
// status line starts where the progress line has been erased.
TEST(JobReport, EachStatusLineStartsOnACleanLineAfterTheProgressLine) {
    const platform::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(master.Valid() && ::grantpt(master.Get()) == 0 && ::unlockpt(master.Get()) == 0);
    const platform::UniqueFd terminal(::open(::ptsname(master.Get()), O_RDWR | O_NOCTTY | O_CLOEXEC));
    const zqcrypt::Console console{.in = -1, .out = terminal.Get(), .err = terminal.Get()};
    zqcrypt::JobReport report(console, false);
    report.Progress(0, 100);
    std::this_thread::sleep_for(150ms);  // past the first tenth of a second, the line is drawn
    report.Progress(50, 100);
    report.Status("Done!");
    std::string shown;
    std::array<char, 256> buffer{};
    pollfd polled{master.Get(), POLLIN, 0};
    while (!shown.ends_with('\n') && ::poll(&polled, 1, 10'000) > 0) {
        const ssize_t got = ::read(master.Get(), buffer.data(), buffer.size());
        shown.append(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    EXPECT_THAT(shown, ::testing::EndsWith(" left\r\x1b[KDone!\r\n"));
}

}  // namespace
