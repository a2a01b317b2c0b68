#pragma once

#include "support/uncopyable.h"

#include <string>

namespace testsupport {

// While it lives, everything written to standard error (file descriptor 2,
// so the C and C++ streams and Qt's messages alike) goes to a file instead.
class CapturedStderr : Uncopyable {
public:
    CapturedStderr();
    ~CapturedStderr();

    // Ends the capture (if still running) and returns what was written.
    [[nodiscard]] std::string Finish();

private:
    void Restore() noexcept;

    int saved_ = -1;
    int capture_ = -1;
    std::string text_;
};

}  // namespace testsupport
