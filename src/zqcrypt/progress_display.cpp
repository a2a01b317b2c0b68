#include "zqcrypt/progress_display.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace zqcrypt {
namespace {

constexpr std::string_view kEraseLine = "\r\x1b[K";
constexpr double kBytesPerMegabyte = 1e6;

[[nodiscard]] std::string FormatDuration(std::uint64_t seconds) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%llu:%02u:%02u", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text.data();
}

}  // namespace

ProgressDisplay::ProgressDisplay(Sink sink, Clock clock) : sink_(std::move(sink)), clock_(std::move(clock)) {}

void ProgressDisplay::Update(std::uint64_t done, std::uint64_t total) {
    const auto now = clock_();
    if (!start_) {
        start_ = now;
        last_draw_ = now;
        return;
    }
    if (now - last_draw_ < kInterval) {
        return;
    }
    last_draw_ = now;
    shown_ = true;
    sink_(std::string(kEraseLine) + FormatLine(done, total, now - *start_));
}

void ProgressDisplay::Clear() {
    if (shown_) {
        sink_(kEraseLine);
        shown_ = false;
    }
}

std::string ProgressDisplay::FormatLine(std::uint64_t done, std::uint64_t total,
                                        std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const unsigned percent = total == 0 ? 100U : static_cast<unsigned>(done >= total ? 100 : done * 100 / total);
    std::array<char, 96> text{};
    if (seconds <= 0.0 || done == 0) {
        std::snprintf(text.data(), text.size(), "%3u%%", percent);
        return text.data();
    }
    const double rate = static_cast<double>(done) / seconds;
    const std::uint64_t left = done >= total ? 0 : total - done;
    const auto seconds_left = static_cast<std::uint64_t>(std::llround(static_cast<double>(left) / rate));
    std::snprintf(text.data(), text.size(), "%3u%%  %8.1f MB/s  %s left", percent, rate / kBytesPerMegabyte,
                  FormatDuration(seconds_left).c_str());
    return text.data();
}

}  // namespace zqcrypt
