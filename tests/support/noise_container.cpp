#include "support/noise_container.h"

#include "support/temp_dir.h"

#include <random>
#include <string>

namespace testsupport {

void WriteNoiseContainer(const std::filesystem::path& path, std::size_t size, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(engine() >> 24);
    }
    // The salt as this program writes it: eleven bytes and a code 0, then its length.
    bytes += std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x00\x0c", 13);
    WriteFile(path, bytes);
}

}  // namespace testsupport
