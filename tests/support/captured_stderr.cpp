#include "support/captured_stderr.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

namespace testsupport {

CapturedStderr::CapturedStderr() {
    std::string name = (std::filesystem::temp_directory_path() / "zqstderr-XXXXXX").string();
    capture_ = ::mkstemp(name.data());
    if (capture_ < 0) {
        throw std::runtime_error("cannot make a file for standard error");
    }
    ::unlink(name.c_str());
    std::fflush(stderr);
    std::cerr.flush();
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(capture_, STDERR_FILENO) < 0) {
        ::close(capture_);
        throw std::runtime_error("cannot redirect standard error");
    }
}

CapturedStderr::~CapturedStderr() {
    Restore();
}

std::string CapturedStderr::Finish() {
    if (capture_ < 0) {
        return text_;
    }
    std::fflush(stderr);
    std::cerr.flush();
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(capture_, buffer, sizeof buffer, offset);
        if (got <= 0) {
            break;
        }
        text_.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    Restore();
    return text_;
}

void CapturedStderr::Restore() noexcept {
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    if (capture_ >= 0) {
        ::close(capture_);
        capture_ = -1;
    }
}

}  // namespace testsupport
