#include "platform/crypt/crypto_provider.h"

#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace platform::crypt;
using namespace testsupport;
namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

Bytes FromText(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

constexpr const char* kContainer = "CryptoAPIExample";

// A provider context in a data folder of the test's own.
class CryptProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CryptAcquireContextA(&context_, kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    }
    void TearDown() override {
        EXPECT_TRUE(CryptReleaseContext(context_, 0));
        EXPECT_EQ(OpenHandleCount(), 0U) << "a handle outlived its test";
    }

    HashHandle Sha1Of(const Bytes& data) {
        HashHandle hash = 0;
        EXPECT_TRUE(CryptCreateHash(context_, kCalgSha1, 0, 0, &hash));
        EXPECT_TRUE(CryptHashData(hash, data.data(), static_cast<std::uint32_t>(data.size()), 0));
        return hash;
    }

    KeyHandle Rc4KeyOf(std::string_view client_key) {
        const HashHandle hash = Sha1Of(FromText(client_key));
        KeyHandle key = 0;
        EXPECT_TRUE(CryptDeriveKey(context_, kCalgRc4, hash, kCryptExportable, &key));
        EXPECT_TRUE(CryptDestroyHash(hash));
        return key;
    }

    static Bytes Encrypt(KeyHandle key, Bytes data, bool final) {
        auto length = static_cast<std::uint32_t>(data.size());
        EXPECT_TRUE(CryptEncrypt(key, 0, final, 0, data.data(), &length, length));
        EXPECT_EQ(length, data.size());
        return data;
    }

    TempDir dir_;
    ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
    ProviderHandle context_ = 0;
};

TEST_F(CryptProviderTest, HashIsSha1OfTheBytesGiven) {
    struct Row {
        const char* data;
        const char* sha1;
    };
    const Row rows[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"secret", "e5e9fa1ba31ecd1ae84f75caaa474f3a663f05f4"},
    };
    for (const Row& row : rows) {
        const HashHandle hash = Sha1Of(FromText(row.data));
        std::uint32_t length = 0;
        EXPECT_TRUE(CryptGetHashParam(hash, kHpHashVal, nullptr, &length, 0)) << row.data;
        EXPECT_EQ(length, kSha1Length) << row.data;
        Bytes value(length + 1, 0);
        EXPECT_TRUE(CryptGetHashParam(hash, kHpHashVal, value.data(), &length, 0)) << row.data;
        value.resize(length);
        EXPECT_EQ(value, FromHex(row.sha1)) << row.data;
        EXPECT_TRUE(CryptDestroyHash(hash));
    }
}

TEST_F(CryptProviderTest, HashValueIsReadOnceTheDataIsIn) {
    const HashHandle hash = Sha1Of(FromText("ab"));
    const Bytes c = FromText("c");
    EXPECT_TRUE(CryptHashData(hash, c.data(), 1, 0));

    // A short buffer reports the length it needs, as the session's first call relies on.
    std::uint8_t probe = 0;
    std::uint32_t length = 0;
    EXPECT_FALSE(CryptGetHashParam(hash, kHpHashVal, &probe, &length, 0));
    EXPECT_EQ(GetLastError(), kErrorMoreData);
    EXPECT_EQ(length, kSha1Length);
    Bytes value(length);
    EXPECT_TRUE(CryptGetHashParam(hash, kHpHashVal, value.data(), &length, 0));
    EXPECT_EQ(value, FromHex("a9993e364706816aba3e25717850c26c9cd0d89d"));

    EXPECT_FALSE(CryptHashData(hash, c.data(), 1, 0));
    EXPECT_EQ(GetLastError(), kNteBadHashState);
    EXPECT_FALSE(CryptGetHashParam(hash, 4, value.data(), &length, 0));
    EXPECT_EQ(GetLastError(), kNteBadType);
    EXPECT_TRUE(CryptDestroyHash(hash));
}

TEST_F(CryptProviderTest, Rc4KeyIsFiveHashBytesFollowedByElevenSaltBytes) {
    // Expected values from an RC4 of its own, keyed with the first 5 bytes of
    // SHA-1("secret") and the 11 salt bytes.
    struct Row {
        const char* what;
        std::optional<Bytes> salt;
        const char* cipher;
    };
    const Row rows[] = {
        {"salt 00..0a", FromHex("000102030405060708090a"), "90f89bc9387c348ee4833bea1db688a89036"},
        {"no salt set: all zero", std::nullopt, "32507c8e1299e4da2e84be2a05b8674e7706"},
        {"empty salt: all zero", Bytes{}, "32507c8e1299e4da2e84be2a05b8674e7706"},
        {"short salt: the rest zero", FromHex("010203"), "bef85b8521af3dae8bcee6b2bbe49f4e6ba6"},
        {"long salt: first 11 bytes", FromHex("0102030000000000000000ffff00"), "bef85b8521af3dae8bcee6b2bbe49f4e6ba6"},
    };
    for (const Row& row : rows) {
        const KeyHandle key = Rc4KeyOf("secret");
        if (row.salt) {
            EXPECT_TRUE(
                CryptSetKeyParam(key, kKpSalt, row.salt->data(), static_cast<std::uint32_t>(row.salt->size()), 0))
                << row.what;
        }
        EXPECT_EQ(Encrypt(key, FromText("Hello, attachment!"), true), FromHex(row.cipher)) << row.what;

        Bytes salt(kRc4SaltLength, 0xEE);
        std::uint32_t length = kRc4SaltLength;
        EXPECT_TRUE(CryptGetKeyParam(key, kKpSalt, salt.data(), &length, 0)) << row.what;
        Bytes expected = row.salt.value_or(Bytes{});
        expected.resize(kRc4SaltLength, 0);
        EXPECT_EQ(salt, expected) << row.what;
        EXPECT_TRUE(CryptDestroyKey(key));
    }
}

TEST_F(CryptProviderTest, SaltParameterReportsElevenBytes) {
    const KeyHandle key = Rc4KeyOf("k");
    std::uint32_t length = 0;
    EXPECT_TRUE(CryptGetKeyParam(key, kKpSalt, nullptr, &length, 0));
    EXPECT_EQ(length, 11U);
    std::uint8_t probe = 0;
    length = 0;
    EXPECT_FALSE(CryptGetKeyParam(key, kKpSalt, &probe, &length, 0));
    EXPECT_EQ(GetLastError(), kErrorMoreData);
    EXPECT_EQ(length, 11U);
    EXPECT_TRUE(CryptDestroyKey(key));
}

TEST_F(CryptProviderTest, KeyStreamContinuesUntilTheFinalCall) {
    Bytes plain(1000);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        plain[i] = static_cast<std::uint8_t>(i * 7);
    }
    const KeyHandle key = Rc4KeyOf("stream");
    const Bytes salt = FromHex("a1b2c3d4e5f60718293a4b");
    ASSERT_TRUE(CryptSetKeyParam(key, kKpSalt, salt.data(), static_cast<std::uint32_t>(salt.size()), 0));
    const Bytes whole = Encrypt(key, plain, true);

    // After the final call the key starts afresh.
    EXPECT_EQ(Encrypt(key, plain, true), whole);

    Bytes pieces;
    for (const auto& [from, to] : {std::pair{0, 1}, {1, 500}, {500, 1000}}) {
        const Bytes part = Encrypt(key, Bytes(plain.begin() + from, plain.begin() + to), to == 1000);
        pieces.insert(pieces.end(), part.begin(), part.end());
    }
    EXPECT_EQ(pieces, whole);

    // Setting the salt starts the stream afresh too.
    (void)Encrypt(key, Bytes(10, 0), false);
    ASSERT_TRUE(CryptSetKeyParam(key, kKpSalt, salt.data(), static_cast<std::uint32_t>(salt.size()), 0));
    Bytes back = whole;
    auto length = static_cast<std::uint32_t>(back.size());
    EXPECT_TRUE(CryptDecrypt(key, 0, true, 0, back.data(), &length));
    EXPECT_EQ(back, plain);
    EXPECT_TRUE(CryptDestroyKey(key));
}

TEST_F(CryptProviderTest, CallsRefuseWhatTheyDoNotKnow) {
    const KeyHandle key = Rc4KeyOf("k");
    const HashHandle hash = Sha1Of(FromText("k"));
    HashHandle new_hash = 0;
    KeyHandle new_key = 0;
    Bytes data(4, 0);
    std::uint32_t length = 4;
    struct Row {
        const char* what;
        std::function<bool()> call;
        std::int32_t code;
    };
    const Row rows[] = {
        {"hash on no context", [&] { return CryptCreateHash(0xBAD, kCalgSha1, 0, 0, &new_hash); }, kNteBadUid},
        {"MD5", [&] { return CryptCreateHash(context_, 0x8003, 0, 0, &new_hash); }, kNteBadAlgid},
        {"data into a key handle", [&] { return CryptHashData(key, data.data(), 4, 0); }, kNteBadHash},
        {"AES key", [&] { return CryptDeriveKey(context_, 0x6610, hash, 0, &new_key); }, kNteBadAlgid},
        {"128-bit RC4 key", [&] { return CryptDeriveKey(context_, kCalgRc4, hash, 128 << 16, &new_key); },
         kNteBadFlags},
        {"encrypt with a hash handle", [&] { return CryptEncrypt(hash, 0, true, 0, data.data(), &length, 4); },
         kNteBadKey},
        {"buffer too short", [&] { return CryptEncrypt(key, 0, true, 0, data.data(), &length, 3); }, kErrorMoreData},
        {"key parameter 9", [&] { return CryptGetKeyParam(key, 9, data.data(), &length, 0); }, kNteBadType},
        {"destroy a hash as a key", [&] { return CryptDestroyKey(hash); }, kNteBadKey},
        {"random on no context", [&] { return CryptGenRandom(0xBAD, 4, data.data()); }, kNteBadUid},
        {"release no context", [&] { return CryptReleaseContext(0xBAD, 0); }, kNteBadUid},
        {"release with flags", [&] { return CryptReleaseContext(context_, 1); }, kNteBadFlags},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(row.call()) << row.what;
        EXPECT_EQ(GetLastError(), row.code) << row.what;
    }
    EXPECT_TRUE(CryptDestroyHash(hash));
    EXPECT_TRUE(CryptDestroyKey(key));
}

TEST_F(CryptProviderTest, ReleasingAContextDestroysItsKeysAndHashes) {
    ProviderHandle second = 0;
    ASSERT_TRUE(CryptAcquireContextA(&second, kContainer, nullptr, kProvRsaFull, 0));
    const KeyHandle kept = Rc4KeyOf("kept");
    HashHandle hash = 0;
    KeyHandle key = 0;
    ASSERT_TRUE(CryptCreateHash(second, kCalgSha1, 0, 0, &hash));
    ASSERT_TRUE(CryptDeriveKey(second, kCalgRc4, hash, 0, &key));
    ASSERT_TRUE(CryptReleaseContext(second, 0));

    std::uint32_t length = 0;
    EXPECT_FALSE(CryptGetKeyParam(key, kKpSalt, nullptr, &length, 0));
    EXPECT_EQ(GetLastError(), kNteBadKey);
    EXPECT_FALSE(CryptDestroyHash(hash));
    EXPECT_TRUE(CryptGetKeyParam(kept, kKpSalt, nullptr, &length, 0)) << "another context's key stays";
    EXPECT_TRUE(CryptDestroyKey(kept));
}

TEST_F(CryptProviderTest, RandomBytesDiffer) {
    Bytes first(32, 0);
    Bytes second(32, 0);
    EXPECT_TRUE(CryptGenRandom(context_, 32, first.data()));
    EXPECT_TRUE(CryptGenRandom(context_, 32, second.data()));
    EXPECT_NE(first, second);
    EXPECT_NE(first, Bytes(32, 0));
    EXPECT_TRUE(CryptGenRandom(context_, 0, nullptr));
}

TEST_F(CryptProviderTest, LastErrorBelongsToTheThread) {
    EXPECT_FALSE(CryptDestroyKey(0xBAD));
    std::int32_t other = 0;
    std::thread([&] {
        EXPECT_FALSE(CryptDestroyHash(0xBAD));
        other = GetLastError();
    }).join();
    EXPECT_EQ(other, kNteBadHash);
    EXPECT_EQ(GetLastError(), kNteBadKey);
}

TEST_F(CryptProviderTest, FaultSeamFailsTheNamedCallAfterItsSuccesses) {
    const Bytes data = FromText("x");
    const HashHandle hash = Sha1Of(data);
    {
        const CryptCallFailure failure(CryptCall::kHashData, -5, 1);
        EXPECT_TRUE(CryptHashData(hash, data.data(), 1, 0));
        EXPECT_FALSE(CryptHashData(hash, data.data(), 1, 0));
        EXPECT_EQ(GetLastError(), -5);
        EXPECT_FALSE(CryptHashData(hash, data.data(), 1, 0));
    }
    EXPECT_TRUE(CryptHashData(hash, data.data(), 1, 0));
    EXPECT_TRUE(CryptDestroyHash(hash));
}

}  // namespace
