#include "jobs/wrong_key_check.h"

#include "cipher/file_container.h"
#include "platform/scoped_env.h"
#include "support/attachments.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using m_Decoder::LooksLikeWrongKey;
using namespace testsupport;
using Bytes = std::vector<std::uint8_t>;

// The same bytes on every run and every machine.
[[nodiscard]] Bytes RandomBytes(std::size_t n, std::uint32_t seed = 12) {
    std::mt19937 engine(seed);
    Bytes bytes(n);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(engine() >> 24);
    }
    return bytes;
}

[[nodiscard]] Bytes WithHeader(Bytes bytes, const Bytes& header) {
    std::copy(header.begin(), header.end(), bytes.begin());
    return bytes;
}

[[nodiscard]] Bytes WithHeader(Bytes bytes, std::string_view header) {
    return WithHeader(std::move(bytes), Bytes(header.begin(), header.end()));
}

// Magic, deflate, no flags, a time stamp, no extra flags, Unix.
const Bytes kGzipHeader = {0x1f, 0x8b, 0x08, 0x00, 0x5d, 0x1e, 0x61, 0x67, 0x00, 0x03};
// The signature and the start of the header chunk.
const Bytes kPngHeader = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
// A near jump, as a DOS .COM program starts.
const Bytes kComJump = {0xe9};

// Random bytes with the top bit clear: 7 bits per byte.
[[nodiscard]] Bytes SevenBitBytes(std::size_t n) {
    Bytes bytes = RandomBytes(n);
    for (std::uint8_t& byte : bytes) {
        byte &= 0x7f;
    }
    return bytes;
}

[[nodiscard]] Bytes TextBytes(std::size_t n) {
    const std::string line = "Dear client, the contract is attached. Kind regards.\n";
    Bytes bytes;
    while (bytes.size() < n) {
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    bytes.resize(n);
    return bytes;
}

TEST(LooksLikeWrongKey, WarnsOnlyForUntypedNearRandomBytes) {
    const std::size_t full = m_Encryption::kClearHeadSize;
    const struct {
        const char* what;
        Bytes head;
        bool warns;
    } rows[] = {
        {"random, 64 KiB", RandomBytes(full), true},
        {"the same behind a gzip header", WithHeader(RandomBytes(full), kGzipHeader), false},
        {"the same behind a PDF header", WithHeader(RandomBytes(full), "%PDF-1.4\n"), false},
        {"the same behind a PNG header", WithHeader(RandomBytes(full), kPngHeader), false},
        {"the same typed as a DOS program", WithHeader(RandomBytes(full), kComJump), true},
        {"a PostScript Type 1 font", WithHeader(RandomBytes(full), "%!PS-AdobeFont-1.0: Body 001\n"), false},
        {"LLVM bitcode", WithHeader(RandomBytes(full), "BC\xC0\xDE"), false},
        {"random 7-bit bytes", SevenBitBytes(full), false},
        {"random, exactly 4 KiB", RandomBytes(4096), true},
        {"random, one byte short of 4 KiB", RandomBytes(4095), false},
        {"text", TextBytes(full), false},
        {"zeros", Bytes(full, 0), false},
        {"nothing", Bytes(), false},
    };
    // Once alone, once through one check kept for every row in turn.
    m_Decoder::WrongKeyCheck kept;
    for (const auto& row : rows) {
        EXPECT_EQ(LooksLikeWrongKey(row.head), row.warns) << row.what;
        EXPECT_EQ(kept.LooksLikeWrongKey(row.head), row.warns) << row.what << ", kept check";
    }
}

TEST(BitsPerByte, MeasuresTheSpreadOfByteValues) {
    Bytes every_value(256 * 16);
    for (std::size_t i = 0; i < every_value.size(); ++i) {
        every_value[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_DOUBLE_EQ(m_Decoder::BitsPerByte(every_value), 8.0);
    EXPECT_DOUBLE_EQ(m_Decoder::BitsPerByte(Bytes(100, 'a')), 0.0);
    EXPECT_DOUBLE_EQ(m_Decoder::BitsPerByte(Bytes{'a', 'b'}), 1.0);
    EXPECT_GT(m_Decoder::BitsPerByte(RandomBytes(65536)), m_Decoder::kNoiseEntropy);
}

// The decryption keeps the first clear bytes it writes, across chunks, with
// the right key and a wrong one alike; the right key's text is never doubted.
TEST(ClearHead, HoldsTheFirstClearBytesWritten) {
    TempDir dir;
    const testsupport::ScopedEnv data_home("XDG_DATA_HOME", (dir / "data").string());
    const struct {
        const char* what;
        std::size_t size;
    } rows[] = {
        {"one byte", 1},
        {"shorter than the head", 5000},
        {"several chunks", (std::size_t{1} << 20) * 2 + 123},
    };
    for (const auto& row : rows) {
        const Bytes plain = TextBytes(row.size);
        testsupport::WriteAttachment(dir / "e~plain", std::string(plain.begin(), plain.end()), "right");
        const std::size_t kept = std::min(row.size, m_Encryption::kClearHeadSize);
        for (const char* key : {"right", "wrong"}) {
            m_Encryption::ClearHead head = {1, 2, 3};  // whatever was there goes
            std::filesystem::remove(dir / "out");
            ASSERT_EQ(
                m_Encryption::DecryptFileWithSalt((dir / "e~plain").string(), (dir / "out").string(), key, {}, &head),
                "")
                << row.what;
            const std::string written = ReadFile(dir / "out");
            ASSERT_EQ(written.size(), row.size) << row.what;
            EXPECT_EQ(head, Bytes(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(kept)))
                << row.what << ", " << key;
            if (std::string_view(key) == "right") {
                EXPECT_EQ(written, std::string(plain.begin(), plain.end())) << row.what;
                EXPECT_FALSE(LooksLikeWrongKey(head)) << row.what;
            }
        }
    }
}

}  // namespace
