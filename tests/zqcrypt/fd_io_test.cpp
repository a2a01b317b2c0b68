#include "zqcrypt/fd_io.h"

#include "platform/unique_fd.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

// Input that comes in pieces, the last of them ending exactly at the limit:
// reading must go on for the byte past it, or input one byte too long passes
// for input that fits.
TEST(ReadAtMost, ReadsOnePastTheLimitWhenThePiecesEndAtIt) {
    constexpr std::size_t kLimit = 10;
    const std::string pieces[] = {"abcd", "efghij"};
    struct Row {
        const char* what;
        std::string after;
        std::string read;
    };
    const Row rows[] = {
        {"exactly the limit", "", "abcdefghij"},
        {"one byte more", "k", "abcdefghijk"},
        {"much more", std::string(100, 'k'), "abcdefghijk"},
    };
    for (const Row& row : rows) {
        std::array<int, 2> fds{};
        ASSERT_EQ(::pipe2(fds.data(), O_CLOEXEC), 0);
        const platform::UniqueFd read_end(fds[0]);
        platform::UniqueFd write_end(fds[1]);
        std::future<std::string> reading =
            std::async(std::launch::async, [&] { return zqcrypt::ReadAtMost(read_end.Get(), kLimit); });
        for (const std::string& piece : pieces) {
            ASSERT_EQ(::write(write_end.Get(), piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
            // The next piece goes only once the reader has taken this one whole
            // (or has given up reading).
            int waiting = 0;
            while (::ioctl(read_end.Get(), FIONREAD, &waiting) == 0 && waiting > 0 &&
                   reading.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        ASSERT_EQ(::write(write_end.Get(), row.after.data(), row.after.size()), static_cast<ssize_t>(row.after.size()));
        write_end.Reset();
        EXPECT_EQ(reading.get(), row.read) << row.what;
    }
}

}  // namespace
