#include "cipher/crypto_session.h"

#include "cipher/encryption_state.h"
#include "platform/crypt/crypto_provider.h"
#include "platform/runtime_error.h"
#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using m_Encryption::CryptSession;
using m_Encryption::CryptString;
using m_Encryption::sSalt;
using namespace platform::crypt;
using namespace testsupport;
namespace crypt = platform::crypt;
namespace fs = std::filesystem;

class CryptSessionTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_FALSE(m_Encryption::hProvider.IsHeld());
        EXPECT_FALSE(m_Encryption::hSessionKey.IsHeld());
        EXPECT_EQ(crypt::OpenHandleCount(), 0U) << "the session left a handle behind";
        sSalt.clear();
    }

    TempDir dir_;
    ScopedEnv data_home_{"XDG_DATA_HOME", (dir_ / "data").string()};
};

std::string AllCodes() {
    std::string text;
    for (int i = 0; i < 256; ++i) {
        text.push_back(static_cast<char>(i));
    }
    return text;
}

TEST_F(CryptSessionTest, EncryptingMakesANewSaltThatDecryptingUses) {
    const std::string plain = AllCodes() + std::string("\0\r\n", 3);
    const std::string key = "Client Key \xFC\x80";

    const std::string cipher = CryptString(plain, key, true);
    EXPECT_EQ(cipher.size(), plain.size());
    EXPECT_NE(cipher, plain);
    ASSERT_EQ(sSalt.size(), 12U) << "the provider's 11 salt bytes and a code 0";
    EXPECT_EQ(sSalt.back(), '\0');
    const std::string salt = sSalt;

    EXPECT_EQ(CryptString(cipher, key, false), plain);
    EXPECT_EQ(sSalt, salt) << "decrypting leaves the salt as it was";

    // No integrity check: a wrong key or salt gives other bytes of the same length.
    const std::string wrong_key = CryptString(cipher, "client key", false);
    EXPECT_EQ(wrong_key.size(), plain.size());
    EXPECT_NE(wrong_key, plain);
    sSalt[3] = static_cast<char>(sSalt[3] ^ 1);
    const std::string wrong_salt = CryptString(cipher, key, false);
    EXPECT_EQ(wrong_salt.size(), plain.size());
    EXPECT_NE(wrong_salt, plain);
    // Only the first 11 salt bytes count.
    sSalt = salt;
    sSalt.back() = 'x';
    EXPECT_EQ(CryptString(cipher, key, false), plain);
}

TEST_F(CryptSessionTest, EachEncryptionHasItsOwnSalt) {
    const std::string first = CryptString("same data", "k", true);
    const std::string first_salt = sSalt;
    const std::string second = CryptString("same data", "k", true);
    EXPECT_NE(first, second);
    EXPECT_NE(first_salt, sSalt);
    EXPECT_EQ(CryptString("", "k", true), "");
    EXPECT_EQ(sSalt.size(), 12U);
    EXPECT_EQ(CryptString("", "k", false), "");
}

TEST_F(CryptSessionTest, FirstSessionCreatesTheKeyContainerLaterOnesOpenIt) {
    const fs::path record = dir_ / "data" / "zqdecoder" / "CryptoAPIExample.keyset";
    EXPECT_FALSE(fs::exists(record));
    (void)CryptString("a", "k", true);
    EXPECT_TRUE(fs::exists(record));
    (void)CryptString("a", "k", true);
    EXPECT_TRUE(fs::exists(record));
}

TEST_F(CryptSessionTest, StreamingGivesTheBytesOfOneCall) {
    std::string plain;
    for (int i = 0; i < 5000; ++i) {
        plain.push_back(static_cast<char>(i * 31 + i / 256));
    }
    const std::string whole = CryptString(plain, "key", true);
    std::string pieces = plain;
    {
        CryptSession session("key", false);  // decrypting with the salt just made
        auto* bytes = reinterpret_cast<std::uint8_t*>(pieces.data());
        EXPECT_EQ(session.Crypt(std::span(bytes, 1), false), 1U);
        EXPECT_EQ(session.Crypt(std::span(bytes + 1, 4095), false), 4095U);
        EXPECT_EQ(session.Crypt(std::span(bytes + 4096, 904), true), 904U);
        session.End();
    }
    EXPECT_EQ(pieces, whole) << "RC4 is its own inverse: one stream either way";
}

TEST_F(CryptSessionTest, EveryFailureRaisesTheLastErrorAndItsMessage) {
    struct Row {
        CryptCall call;
        bool encrypt;
        const char* message;
    };
    const Row rows[] = {
        {CryptCall::kAcquireContext, true,
         "DLL error code shown above.  Error during CryptAcquireContext for a new key container. "
         "A container with this name probably already exists."},
        {CryptCall::kCreateHash, false,
         "DLL error code shown above. Could not create a Hash Object (CryptCreateHash API)"},
        {CryptCall::kHashData, true,
         "DLL error code shown above. Could not calculate a Hash Value (CryptHashData API)"},
        {CryptCall::kGetHashParam, false, "DLL error code shown above. Could not lngReturnValuerieve the hash value"},
        {CryptCall::kDeriveKey, true,
         "DLL error code shown above. Could not create a session key (CryptDeriveKey API)"},
        {CryptCall::kGenRandom, true, "DLL error code shown above. Could not generate a random SALT"},
        {CryptCall::kSetKeyParam, false, "DLL error code shown above. Could not set the SALT."},
        {CryptCall::kSetKeyParam, true, "DLL error code shown above. Could not set the SALT."},
        {CryptCall::kEncrypt, true, "DLL error code shown above. Error during CryptEncrypt."},
        {CryptCall::kDecrypt, false, "DLL error code shown above. Error during CryptDecrypt."},
    };
    std::int32_t code = -2146893792;
    for (const Row& row : rows) {
        const CryptCallFailure failure(row.call, --code);
        try {
            (void)CryptString("data", "key", row.encrypt);
            ADD_FAILURE() << row.message << ": nothing raised";
        } catch (const platform::RuntimeError& error) {
            EXPECT_EQ(error.Number(), code) << row.message;
            EXPECT_EQ(error.Description(), row.message);
        }
        EXPECT_FALSE(m_Encryption::hProvider.IsHeld()) << row.message;
        EXPECT_FALSE(m_Encryption::hSessionKey.IsHeld()) << row.message;
        EXPECT_EQ(crypt::OpenHandleCount(), 0U) << row.message;
    }
}

TEST_F(CryptSessionTest, AcquiringFallsBackToOpeningTheContainer) {
    (void)CryptString("a", "k", true);
    // Creating now fails (the container exists); only a failed open raises, with its own code.
    const CryptCallFailure failure(CryptCall::kAcquireContext, -1, 1);
    try {
        (void)CryptString("a", "k", true);
        ADD_FAILURE() << "nothing raised";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.Number(), -1);
    }
}

TEST_F(CryptSessionTest, LengthQueriesAreNotExamined) {
    // A failed salt-length query leaves the length at 0: the salt is one code 0.
    const CryptCallFailure failure(CryptCall::kGetKeyParam, -7);
    const std::string cipher = CryptString("plain", "k", true);
    EXPECT_EQ(sSalt, std::string(1, '\0'));
    EXPECT_EQ(CryptString(cipher, "k", false), "plain");
}

}  // namespace
