#include "support/attachments.h"

#include "cipher/file_container.h"
#include "support/temp_dir.h"

#include <random>
#include <stdexcept>

namespace testsupport {

void WriteAttachment(const std::filesystem::path& path, const std::string& plain, const std::string& key) {
    // The plain file lives only as long as the encryption needs it.
    const TempDir scratch;
    WriteFile(scratch / "plain", plain);
    const std::string error = m_Encryption::EncryptFileWithSalt((scratch / "plain").string(), path.string(), key);
    if (!error.empty()) {
        throw std::runtime_error("cannot write the attachment " + path.string() + ": " + error);
    }
}

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
