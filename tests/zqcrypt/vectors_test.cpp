// zqcrypt on the shared container vectors, and on containers built here from
// the format's definition for a key with "é".

#include "platform/code_page.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "zqcrypt_process.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

struct Vector {
    std::string name;
    std::string key;  // UTF-8, as ZQ_KEY carries it
    fs::path plain;
    fs::path container;
};

[[nodiscard]] std::string BytesFromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

[[nodiscard]] std::vector<Vector> LoadVectors() {
    const fs::path dir = fs::path(testsupport::kDataDir) / "vectors";
    std::ifstream table(dir / "vectors.tsv");
    std::vector<Vector> vectors;
    std::string line;
    std::getline(table, line);  // the header
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, key_hex, plain, container;
        if (std::getline(fields, name, '\t') && std::getline(fields, key_hex, '\t') &&
            std::getline(fields, plain, '\t') && std::getline(fields, container, '\t')) {
            vectors.push_back(
                {name, platform::codepage::Utf8FromBytes(BytesFromHex(key_hex)), dir / plain, dir / container});
        }
    }
    if (vectors.empty()) {
        ADD_FAILURE() << "no vectors in " << dir;
    }
    return vectors;
}

// Decrypts `container` with zqcrypt and checks that the file `plain` comes out.
void ExpectDecryptsTo(const fs::path& container, const std::string& key, const fs::path& plain,
                      const std::string& what) {
    const TempDir dir;
    const ProcessResult result = RunZqcrypt({"decrypt", "-q", container.string(), (dir / "out").string()}, key);
    EXPECT_EQ(result.status, kSucceeded) << what << ": " << result.err;
    EXPECT_EQ(ReadFile(dir / "out"), ReadFile(plain)) << what;
}

TEST(ZqcryptVectors, DecryptsEveryVector) {
    for (const Vector& vector : LoadVectors()) {
        ExpectDecryptsTo(vector.container, vector.key, vector.plain, vector.name);
    }
}

TEST(ZqcryptVectors, EncryptsEveryPlainFileIntoAContainerItDecryptsAgain) {
    for (const Vector& vector : LoadVectors()) {
        TempDir dir;
        const ProcessResult encrypted =
            RunZqcrypt({"encrypt", "-q", vector.plain.string(), (dir / "e~out").string()}, vector.key);
        ASSERT_EQ(encrypted.status, 0) << vector.name << ": " << encrypted.err;
        EXPECT_EQ(fs::file_size(dir / "e~out"), fs::file_size(vector.plain) + 13) << vector.name;
        ExpectDecryptsTo(dir / "e~out", vector.key, vector.plain, vector.name);
    }
}

// The container's cipher, written out from its definition: RC4 under the
// first 5 bytes of SHA-1(key bytes) followed by the first 11 salt bytes.
[[nodiscard]] std::string Rc4(const std::string& key_bytes, std::string_view salt, std::string_view data) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digest_size = 0;
    if (EVP_Digest(key_bytes.data(), key_bytes.size(), digest.data(), &digest_size, EVP_sha1(), nullptr) != 1) {
        throw std::runtime_error("SHA-1 failed");
    }
    std::string rc4_key(reinterpret_cast<const char*>(digest.data()), 5);
    rc4_key += salt.substr(0, 11);

    std::array<unsigned char, 256> state{};
    for (std::size_t i = 0; i < 256; ++i) {
        state[i] = static_cast<unsigned char>(i);
    }
    for (std::size_t i = 0, j = 0; i < 256; ++i) {
        j = (j + state[i] + static_cast<unsigned char>(rc4_key[i % rc4_key.size()])) % 256;
        std::swap(state[i], state[j]);
    }
    std::string out(data);
    for (std::size_t n = 0, i = 0, j = 0; n < out.size(); ++n) {
        i = (i + 1) % 256;
        j = (j + state[i]) % 256;
        std::swap(state[i], state[j]);
        out[n] = static_cast<char>(out[n] ^ state[(state[i] + state[j]) % 256]);
    }
    return out;
}

const std::string kPlain =
    "Rapport confidentiel: 12 pi\xC3\xA8"
    "ces jointes.\r\n";
const std::string kSalt("\x10\x32\x54\x76\x98\xBA\xDC\xFE\x01\x23\x45\x00", 12);

TEST(ZqcryptVectors, AKeyWithEAcuteIsTheCodePagesSingleByte) {
    // "clé" reaches the cipher as 63 6C E9, trimmed of the spaces around it.
    const std::string key_bytes = "cl\xE9";
    TempDir dir;
    WriteFile(dir / "e~report", Rc4(key_bytes, kSalt, kPlain) + kSalt + std::string(1, '\x0C'));
    const ProcessResult result =
        RunZqcrypt({"decrypt", "-q", (dir / "e~report").string(), (dir / "report").string()}, "  cl\xC3\xA9  ");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(dir / "report"), kPlain);
}

TEST(ZqcryptVectors, EncryptingUnderAKeyWithEAcuteUsesTheSameBytes) {
    TempDir dir;
    WriteFile(dir / "report", kPlain);
    const ProcessResult result =
        RunZqcrypt({"encrypt", "-q", (dir / "report").string(), (dir / "e~report").string()}, "cl\xC3\xA9");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string container = ReadFile(dir / "e~report");
    ASSERT_EQ(container.size(), kPlain.size() + 13);
    ASSERT_EQ(container.back(), '\x0C');
    const std::string salt = container.substr(kPlain.size(), 12);
    EXPECT_EQ(Rc4("cl\xE9", salt, container.substr(0, kPlain.size())), kPlain);
}

}  // namespace
