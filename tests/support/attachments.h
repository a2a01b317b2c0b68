#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// Attachments for tests: containers written here rather than copied or made
// by running a program, so that a test says what is in them.
namespace testsupport {

// Writes the container of `plain` under `key` to `path`, as the encrypt job
// writes it (a new random salt each time). Throws when that fails.
void WriteAttachment(const std::filesystem::path& path, const std::string& plain, const std::string& key);

// Writes a container whose ciphertext is `size` bytes from a generator seeded
// with `seed`, under a fixed salt. Any key decrypts it into noise, and the
// same noise on every run: what a wrong key gives, without the random salt
// of a real encryption.
void WriteNoiseContainer(const std::filesystem::path& path, std::size_t size, std::uint32_t seed);

}  // namespace testsupport
