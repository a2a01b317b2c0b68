#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace testsupport {

// Writes a container whose ciphertext is `size` bytes from a generator seeded
// with `seed`, under a fixed salt. Any key decrypts it into noise, and the
// same noise on every run: what a wrong key gives, without the random salt
// of a real encryption.
void WriteNoiseContainer(const std::filesystem::path& path, std::size_t size, std::uint32_t seed);

}  // namespace testsupport
