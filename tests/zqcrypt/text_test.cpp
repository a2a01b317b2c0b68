// decode-text and encode-text through real pipes: known answers worked out
// from the cipher's arithmetic, round trips, and the code page at the edges.

#include "support/temp_dir.h"
#include "zqcrypt_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

using namespace testsupport;

// "é" in UTF-8; the code page holds it as the single code 0xE9 (233).
const std::string kKeyE = "\xC3\xA9";

struct TextRow {
    const char* what;
    std::vector<std::string> arguments;
    std::string key;
    std::string input;
    std::string output;
};

TEST(ZqcryptText, GivesTheKnownAnswers) {
    const TextRow rows[] = {
        // 0x01 + 233 = 234; 0xFF + 233 = 488 - 255 = 233; 'A' + 233 = 298 - 255 = 43.
        {"raw decode under é",
         {"decode-text", "--raw"},
         kKeyE,
         "\x01\xFF"
         "A",
         "\xEA\xE9+"},
        // A key of spaces around "é" is the key "é".
        {"trimmed key", {"decode-text", "--raw"}, "  " + kKeyE + " ", "\x01", "\xEA"},
        // The same byte as UTF-8 text: 0xEA is "ê".
        {"text decode under é", {"decode-text"}, kKeyE, "\x01", "\xC3\xAA"},
        // "a\nb" reaches the cipher as a CR LF b: 'K', 246 'ö', 243 'ó', 'L'.
        {"line break becomes CR LF", {"decode-text"}, kKeyE, "a\nb", "K\xC3\xB6\xC3\xB3L"},
        {"lone CR becomes CR LF", {"decode-text"}, kKeyE, "a\rb", "K\xC3\xB6\xC3\xB3L"},
        // "€" is 0x80 in the code page: 128 - 101 ('e') = 27.
        {"encode of a code-page character", {"encode-text"}, "e", "\xE2\x82\xAC", "\x1B"},
        {"raw encode takes the bytes as they are", {"encode-text", "--raw"}, "e", "\x80", "\x1B"},
        // 'a' - 'a' = 0 -> 255, which is "ÿ" as text.
        {"text encode of an equal code", {"encode-text"}, "a", "a", "\xC3\xBF"},
        // 'w' + 233 = 97 'a'; '#' + 233 = 13 CR; ' ' + 233 = 10 LF. A decoded CR LF
        // comes out as LF, as lines end on this system; raw keeps it.
        {"decoded CR LF comes out as LF", {"decode-text"}, kKeyE, "w# w", "a\na"},
        {"raw keeps a decoded CR LF", {"decode-text", "--raw"}, kKeyE, "w# w", "a\r\na"},
        {"raw keeps a byte-order mark", {"decode-text", "--raw"}, "\x01", "\xEF\xBB\xBF", "\xF0\xBC\xC0"},
        {"byte-order mark dropped from text", {"decode-text"}, kKeyE, "\xEF\xBB\xBF\x01", "\xC3\xAA"},
        {"empty input", {"decode-text"}, "k", "", ""},
    };
    for (const TextRow& row : rows) {
        const ProcessResult result = RunZqcrypt(row.arguments, row.key, row.input);
        EXPECT_EQ(result.status, 0) << row.what << ": " << result.err;
        EXPECT_EQ(result.out, row.output) << row.what;
        EXPECT_EQ(result.err, "") << row.what;
    }
}

TEST(ZqcryptText, RoundTripsThroughAShellPipeline) {
    struct Row {
        const char* what;
        const char* options;
        std::string key;
        std::string text;
        std::string expected;
    };
    std::string every_code;
    for (int code = 1; code < 256; ++code) {
        every_code.push_back(static_cast<char>(code));
    }
    const Row rows[] = {
        {"UTF-8 text with LF lines", "",
         "Kennwort\xE2\x82\xAC"
         "1",
         "Dear client,\nyour r\xC3\xA9sum\xC3\xA9 costs 5 \xE2\x82\xAC.\n",
         "Dear client,\nyour r\xC3\xA9sum\xC3\xA9 costs 5 \xE2\x82\xAC.\n"},
        {"text with CR LF lines comes back with LF", "",
         "Kennwort\xE2\x82\xAC"
         "1",
         "line one\r\nline two", "line one\nline two"},
        {"every byte but 0, raw", "--raw", kKeyE, every_code, every_code},
    };
    for (const Row& row : rows) {
        testsupport::TempDir dir;
        testsupport::WriteFile(dir / "in", row.text);
        const std::string program = testsupport::ZqcryptPath().string();
        const std::string command = "ZQ_KEY='" + row.key + "' '" + program + "' encode-text " + row.options + " < '" +
                                    (dir / "in").string() + "' | ZQ_KEY='" + row.key + "' '" + program +
                                    "' decode-text " + row.options + " > '" + (dir / "out").string() + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << row.what;
        EXPECT_EQ(testsupport::ReadFile(dir / "out"), row.expected) << row.what;
    }
}

TEST(ZqcryptText, WarnsWhenTheEncodedTextHoldsALoneLineBreak) {
    const std::string text = "Dear client,\nyour r\xC3\xA9sum\xC3\xA9 costs 5 \xE2\x82\xAC.\n";
    // Under this key the cipher gives a code 10 or 13 of its own; under the
    // second it gives none.
    const ProcessResult lone = RunZqcrypt({"encode-text"}, "Schl\xC3\xBCssel\xE2\x82\xAC", text);
    EXPECT_EQ(lone.status, 0);
    EXPECT_EQ(lone.err,
              "zqcrypt: warning: the encoded text holds a lone CR or LF, which decode-text reads as a line break; use "
              "--raw on both sides to keep it exact\n");
    EXPECT_FALSE(lone.out.empty());

    const ProcessResult clean = RunZqcrypt({"encode-text"},
                                           "Kennwort\xE2\x82\xAC"
                                           "1",
                                           text);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");
}

TEST(ZqcryptText, RefusesATextTooLongForTheCipher) {
    struct Row {
        const char* what;
        std::vector<std::string> arguments;
        std::string input;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {"longest raw text", {"decode-text", "--raw"}, std::string(32766, 'x'), testsupport::kSucceeded, ""},
        {"one more",
         {"decode-text", "--raw"},
         std::string(32767, 'x'),
         testsupport::kRefused,
         "Encrypted Text Too Long!"},
        // 16,383 line breaks become 32,766 characters; one more character is too many.
        {"line breaks count twice", {"encode-text"}, std::string(16383, '\n'), testsupport::kSucceeded, ""},
        {"line breaks count twice, one more",
         {"encode-text"},
         std::string(16383, '\n') + "x",
         testsupport::kRefused,
         "Text to Encode Too Long!"},
    };
    for (const Row& row : rows) {
        const ProcessResult result = RunZqcrypt(row.arguments, "k", row.input);
        EXPECT_EQ(result.status, row.status) << row.what;
        if (row.status == testsupport::kSucceeded) {
            EXPECT_EQ(result.err, "") << row.what;
        } else {
            EXPECT_EQ(result.err, std::string("zqcrypt: ") + row.message + "\n") << row.what;
            EXPECT_EQ(result.out, "") << row.what;
        }
    }
}

}  // namespace
