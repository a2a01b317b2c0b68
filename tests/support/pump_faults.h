#pragma once

#include "cipher/pump_test_hooks.h"

#include <chrono>

// A pump that waits for the test, armed by an object that tests create. This
// file's definition of the pump's hook replaces the program's do-nothing one
// in every test; the programs never link it.
namespace cipher {

// While it lives, the pump holds each chunk before stepping it until the test
// lets it go, or until `patience` has passed for that chunk, so that a test
// that never lets go fails instead of hanging. When it goes, nothing is held.
class HeldChunks {
public:
    explicit HeldChunks(std::chrono::milliseconds patience = std::chrono::seconds(10));
    ~HeldChunks();
    HeldChunks(const HeldChunks&) = delete;
    HeldChunks& operator=(const HeldChunks&) = delete;

    // Lets `count` more chunks go on.
    void Allow(int count);
    // Whether the pump holds its `number`th chunk (from 1) now, counted
    // over every file since this object was made.
    [[nodiscard]] bool Holding(int number) const;
};

}  // namespace cipher
