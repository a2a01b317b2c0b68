#pragma once

namespace testsupport {

// A base for the helpers that hold something for as long as they live (a
// folder, a descriptor, a handler): a copy would give it back twice.
class Uncopyable {
public:
    Uncopyable(const Uncopyable&) = delete;
    Uncopyable& operator=(const Uncopyable&) = delete;

protected:
    Uncopyable() = default;
    ~Uncopyable() = default;
};

}  // namespace testsupport
