// zqcrypt never writes the client key or clear text to standard error, where
// a terminal's scroll-back, a shell's redirection or a job log would keep it:
// not on success, not on failure, not when a command line is refused.

#include "support/temp_dir.h"
#include "zqcrypt_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testsupport;

const std::string kKey = "zq-marker-key-7d2a";
const std::string kClear = "zq-marker-clear-text-41f9";

TEST(ZqcryptNoSecretOutput, NothingSecretReachesStandardErrorWhateverHappens) {
    TempDir dir;
    const auto path = [&](const char* name) { return (dir / name).string(); };
    WriteFile(dir / "plain", kClear);
    WriteFile(dir / "broken.zq", std::string(1, '\0'));
    const ProcessResult encoded = RunZqcrypt({"encode-text"}, kKey, kClear);
    ASSERT_EQ(encoded.status, 0) << encoded.err;

    struct Row {
        std::vector<std::string> arguments;
        std::string input;
        bool succeeds;
    };
    const std::vector<Row> rows = {
        {{"encrypt", path("plain"), path("sealed")}, "", true},
        {{"decrypt", path("sealed"), path("clear")}, "", true},
        {{"decode-text"}, encoded.out, true},
        {{"encode-text"}, kClear, true},
        {{"decrypt", path("missing"), path("out")}, "", false},
        {{"decrypt", path("broken.zq"), path("out")}, "", false},
        {{"decrypt", path("sealed"), path("plain")}, "", false},
        {{"decrypt", path("sealed"), dir.Path().string() + "/no folder/out"}, "", false},
        {{"decode-text", "--key=" + kKey}, encoded.out, false},
        {{"decode-text", kClear}, "", false},
    };
    for (const Row& row : rows) {
        const ProcessResult result = RunZqcrypt(row.arguments, kKey, row.input);
        const std::string shown = ::testing::PrintToString(row.arguments);
        EXPECT_EQ(result.status == 0, row.succeeds) << shown << ": " << result.err;
        EXPECT_EQ(result.err.find(kKey), std::string::npos) << shown << ": " << result.err;
        EXPECT_EQ(result.err.find(kClear), std::string::npos) << shown << ": " << result.err;
    }
    EXPECT_EQ(testsupport::ReadFile(dir / "clear"), kClear);
}

}  // namespace
