#include "platform/crypt/key_container.h"

#include "platform/crypt/crypto_provider.h"
#include "platform/scoped_env.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace platform::crypt;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr const char* kContainer = "CryptoAPIExample";

fs::perms PermissionsOf(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::all;
}

bool Acquire(const char* container, const char* provider_name, std::uint32_t type, std::uint32_t flags) {
    ProviderHandle context = 0;
    if (!CryptAcquireContextA(&context, container, provider_name, type, flags)) {
        EXPECT_EQ(context, 0U);
        return false;
    }
    EXPECT_NE(context, 0U);
    EXPECT_TRUE(CryptReleaseContext(context, 0));
    return true;
}

TEST(KeyContainer, FirstUseCreatesItAndItsFolderLaterUsesOpenIt) {
    TempDir dir;
    // A fresh account: not even the data folder exists yet.
    const fs::path data_home = dir / "home" / "share";
    const ScopedEnv env("XDG_DATA_HOME", data_home.string());

    EXPECT_FALSE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, 0));
    EXPECT_EQ(GetLastError(), kNteBadKeyset);
    EXPECT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_EQ(KeyContainerFolder(), data_home / "zqdecoder");
    EXPECT_EQ(PermissionsOf(data_home / "zqdecoder"), fs::perms::owner_all);
    EXPECT_EQ(PermissionsOf(data_home), fs::perms::owner_all);

    EXPECT_FALSE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_EQ(GetLastError(), kNteExists);
    EXPECT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, 0));
    EXPECT_TRUE(Acquire(kContainer, nullptr, kProvRsaFull, 0)) << "no name means the Base provider";
    EXPECT_EQ(OpenHandleCount(), 0U);
}

TEST(KeyContainer, FolderFallsBackToTheHomeFolder) {
    TempDir dir;
    const ScopedEnv home("HOME", dir.Path().string());
    for (const std::optional<std::string>& data_home :
         {std::optional<std::string>(), std::optional<std::string>("rel")}) {
        const ScopedEnv env("XDG_DATA_HOME", data_home);
        EXPECT_EQ(KeyContainerFolder(), dir / ".local" / "share" / "zqdecoder") << data_home.value_or("unset");
    }
    const ScopedEnv env("XDG_DATA_HOME", std::nullopt);
    EXPECT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_EQ(PermissionsOf(dir / ".local" / "share" / "zqdecoder"), fs::perms::owner_all);
}

TEST(KeyContainer, AcquisitionFailures) {
    struct Row {
        const char* what;
        const char* container;
        const char* provider_name;
        std::uint32_t type;
        std::uint32_t flags;
        std::int32_t code;
    };
    const Row rows[] = {
        {"new key set over an existing container", kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset,
         kNteExists},
        {"opening a missing container", "Missing", kBaseProviderName, kProvRsaFull, 0, kNteBadKeyset},
        {"unknown provider name", kContainer, "Microsoft Strong Cryptographic Provider", kProvRsaFull, 0,
         kNteKeysetNotDef},
        {"unknown provider type", kContainer, kBaseProviderName, 24, 0, kNteProvTypeNotDef},
        {"unknown flags", kContainer, kBaseProviderName, kProvRsaFull, 0x20, kNteBadFlags},
        {"no container name", nullptr, kBaseProviderName, kProvRsaFull, 0, kNteBadKeysetParam},
        {"empty container name", "", kBaseProviderName, kProvRsaFull, kCryptNewKeyset, kNteBadKeysetParam},
    };
    TempDir dir;
    const ScopedEnv env("XDG_DATA_HOME", (dir / "data").string());
    ASSERT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    for (const Row& row : rows) {
        EXPECT_FALSE(Acquire(row.container, row.provider_name, row.type, row.flags)) << row.what;
        EXPECT_EQ(GetLastError(), row.code) << row.what;
    }
}

TEST(KeyContainer, IsKeptInMemoryWhenItsFolderCannotBeMade) {
    TempDir dir;
    WriteFile(dir / "file", "not a folder");
    const ScopedEnv env("XDG_DATA_HOME", (dir / "file" / "data").string());
    EXPECT_FALSE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, 0)) << "not made yet";
    EXPECT_EQ(GetLastError(), kNteBadKeyset);
    EXPECT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_FALSE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_EQ(GetLastError(), kNteExists);
    EXPECT_TRUE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, 0));
    EXPECT_TRUE(fs::is_regular_file(dir / "file"));
}

TEST(KeyContainer, NamesNeverLeaveTheFolder) {
    TempDir dir;
    const ScopedEnv env("XDG_DATA_HOME", (dir / "data").string());
    EXPECT_TRUE(Acquire("../../escaped", kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_TRUE(Acquire("../../escaped", kBaseProviderName, kProvRsaFull, 0));
    EXPECT_FALSE(Acquire("escaped", kBaseProviderName, kProvRsaFull, 0)) << "a different container";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data" / "zqdecoder"), fs::directory_iterator()), 1);
}

TEST(KeyContainer, AcquireFailsWhenTheSeamSaysSo) {
    TempDir dir;
    const ScopedEnv env("XDG_DATA_HOME", (dir / "data").string());
    const CryptCallFailure failure(CryptCall::kAcquireContext, kNteFail);
    EXPECT_FALSE(Acquire(kContainer, kBaseProviderName, kProvRsaFull, kCryptNewKeyset));
    EXPECT_EQ(GetLastError(), kNteFail);
    EXPECT_FALSE(fs::exists(dir / "data")) << "a failing call does nothing";
}

}  // namespace
