#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zqcrypt {

// One line on a terminal that shows how far a long job has come: percent,
// speed and time left, redrawn in place at most ten times a second. Nothing is
// drawn in the first tenth of a second, so a short job leaves no trace.
class ProgressDisplay {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Sink = std::function<void(std::string_view)>;

    // `sink` receives the terminal output (carriage returns and erase codes).
    ProgressDisplay(Sink sink, Clock clock);

    void Update(std::uint64_t done, std::uint64_t total);

    // Erases the line when one is shown, so that other output starts clean.
    void Clear();

    // The text of the line: " 42%   310.5 MB/s   0:00:03 left".
    [[nodiscard]] static std::string FormatLine(std::uint64_t done, std::uint64_t total,
                                                std::chrono::steady_clock::duration elapsed);

private:
    static constexpr std::chrono::milliseconds kInterval{100};

    Sink sink_;
    Clock clock_;
    std::optional<std::chrono::steady_clock::time_point> start_;
    std::chrono::steady_clock::time_point last_draw_{};
    bool shown_ = false;
};

}  // namespace zqcrypt
