// Keys and texts the code page cannot carry, input without end, and file
// names that hold terminal controls, seen from outside the built zqcrypt.

#include "support/attachments.h"
#include "support/temp_dir.h"
#include "zqcrypt_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace testsupport;
namespace fs = std::filesystem;

constexpr const char* kKeyRefused =
    "zqcrypt: The key holds characters that cannot be used: use letters, digits and signs of Western European "
    "keyboards.\n";
constexpr const char* kKeyWarning =
    "zqcrypt: warning: the key holds characters outside Windows-1252; each is used as \"?\"\n";
// Six Cyrillic letters: through the code page each one is "?".
constexpr const char* kCyrillic = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C";

struct Row {
    const char* what;
    std::vector<std::string> arguments;  // "@name" stands for the file `name` in the test folder
    std::string key;
    std::string input;
    int status;
    std::string err;                 // all of standard error, or its start when `expected_out` is set
    std::optional<std::string> out;  // standard output; a file "@name" when it starts with "@"
};

TEST(ZqcryptUntrustedInput, KeysAndTextsOutsideTheCodePage) {
    TempDir dir;
    WriteFile(dir / "plain", "attachment body\n");
    // Made as existing containers were made from the Cyrillic key: each letter as "?".
    testsupport::WriteAttachment(dir / "e~plain", "attachment body\n", "??????");
    const ProcessResult question_marks = RunZqcrypt({"encode-text"}, "??????", "Hello");
    ASSERT_EQ(question_marks.status, 0);

    const Row rows[] = {
        {"encrypt refuses the key", {"encrypt", "@plain", "@out"}, kCyrillic, "", kRefused, kKeyRefused, ""},
        {"encrypt refuses one such character among others",
         {"encrypt", "@plain", "@out"},
         "caf\xC3\xA9 \xE2\x82\xAC\xE2\x98\x83",
         "",
         kRefused,
         kKeyRefused,
         ""},
        {"encode-text refuses the key", {"encode-text"}, kCyrillic, "Hello", kRefused, kKeyRefused, ""},
        {"encode-text --raw refuses the key too",
         {"encode-text", "--raw"},
         kCyrillic,
         "Hello",
         kRefused,
         kKeyRefused,
         ""},
        {"encode-text refuses the text",
         {"encode-text"},
         "secret",
         "na\xC3\xAFve \xE2\x82\xAC ok \xD0\xBA",
         kRefused,
         "zqcrypt: The text holds characters that cannot be protected (first at character 12).\n",
         ""},
        {"a byte-order mark is no character of the text",
         {"encode-text"},
         "secret",
         "\xEF\xBB\xBF"
         "ab\xE4\xB8\xAD",
         kRefused,
         "zqcrypt: The text holds characters that cannot be protected (first at character 3).\n",
         ""},
        {"malformed UTF-8 in the text",
         {"encode-text"},
         "secret",
         "a\xFF",
         kRefused,
         "zqcrypt: The text holds characters that cannot be protected (first at character 2).\n",
         ""},
        {"real question marks are carried", {"encode-text"}, "??????", "Hello", 0, "", question_marks.out},
        {"decode-text goes on with a warning", {"decode-text"}, kCyrillic, question_marks.out, 0, kKeyWarning, "Hello"},
        {"decrypt goes on with a warning",
         {"decrypt", "-q", "@e~plain", "@out"},
         kCyrillic,
         "",
         0,
         kKeyWarning,
         "@out"},
    };
    for (const Row& row : rows) {
        fs::remove(dir / "out");
        std::vector<std::string> arguments;
        for (const std::string& argument : row.arguments) {
            arguments.push_back(argument.starts_with("@") ? (dir / argument.substr(1)).string() : argument);
        }
        const ProcessResult result = RunZqcrypt(arguments, row.key, row.input);
        EXPECT_EQ(result.status, row.status) << row.what;
        EXPECT_EQ(result.err, row.err) << row.what;
        EXPECT_THAT(result.err, Not(HasSubstr(row.key))) << row.what << ": a message repeats the key";
        if (row.out && row.out->starts_with("@")) {
            EXPECT_EQ(ReadFile(dir / row.out->substr(1)), "attachment body\n") << row.what;
        } else {
            EXPECT_EQ(result.out, row.out.value_or("")) << row.what;
            EXPECT_FALSE(fs::exists(dir / "out")) << row.what;
        }
    }
}

TEST(ZqcryptUntrustedInput, ControlCharactersInFileNamesAreShownAsHex) {
    TempDir dir;
    const std::string name = "red\x1B[31mname\x07\x9B";
    WriteFile(dir / name, "body");
    const ProcessResult made = RunZqcrypt({"encrypt", (dir / name).string(), (dir / "e~out").string()}, "secret");
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_THAT(made.out, HasSubstr("red\\x1B[31mname\\x07\\x9B"));
    EXPECT_THAT(made.out, Not(HasSubstr("\x1B")));
    EXPECT_THAT(made.out, Not(HasSubstr("\x07")));

    const ProcessResult refused = RunZqcrypt({"encrypt", (dir / "nothing\x1B]0;title\x07").string(), "x"}, "secret");
    EXPECT_EQ(refused.status, kRefused);
    EXPECT_THAT(refused.err, Not(HasSubstr("\x1B")));
    EXPECT_EQ(ReadFile(dir / "e~out").size(), 4U + 12U + 1U) << "the body, the salt with its code 0, its length";
}

// Without a limit on what is read, /dev/zero fills memory until the program
// fails; under a small address-space limit it must still refuse the input.
TEST(ZqcryptUntrustedInput, EndlessInputIsRefusedWithinAFixedMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer reserves more address space than any limit allows";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    GTEST_SKIP() << "a sanitizer reserves more address space than any limit allows";
#endif
#endif
    struct Limited {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Limited rows[] = {
        {{"decode-text"}, "Encrypted Text Too Long!"},
        {{"encode-text", "--raw"}, "Text to Encode Too Long!"},
        {{"encode-text"}, "Text to Encode Too Long!"},
    };
    for (const Limited& row : rows) {
        testsupport::ProcessRequest request;
        request.arguments = row.arguments;
        request.key = "secret";
        request.stdin_path = "/dev/zero";
        request.address_space_kib = 256 * 1024;
        const ProcessResult result = RunZqcrypt(request);
        EXPECT_EQ(result.status, kRefused) << row.arguments.front() << ": " << result.err;
        EXPECT_EQ(result.err, std::string("zqcrypt: ") + row.message + "\n") << row.arguments.front();
    }
}

}  // namespace
