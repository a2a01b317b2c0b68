#include "util/escaped_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using util::EscapedText;

TEST(EscapedText, ShowsControlsBrokenBytesAndReorderingCharactersByNumber) {
    struct Row {
        const char* what;
        std::string text;
        std::string shown;
        std::string shown_keeping_line_breaks;
    };
    const Row rows[] = {
        {"plain", "/home/u/e~report.pdf", "/home/u/e~report.pdf", "/home/u/e~report.pdf"},
        {"letters of any script stay", "\xD0\xBF\xC3\xA9\xE2\x82\xAC", "\xD0\xBF\xC3\xA9\xE2\x82\xAC",
         "\xD0\xBF\xC3\xA9\xE2\x82\xAC"},
        {"escape sequence", "a\x1B[31mb", "a\\x1B[31mb", "a\\x1B[31mb"},
        {"line breaks", "a\nb\rc\td", "a\\x0Ab\\x0Dc\\x09d", "a\nb\\x0Dc\\x09d"},
        {"DEL and NUL", std::string("a\x7F\0b", 4), "a\\x7F\\x00b", "a\\x7F\\x00b"},
        {"C1 control as UTF-8 (CSI)",
         "a\xC2\x9B"
         "2J",
         "a\\xC2\\x9B2J", "a\\xC2\\x9B2J"},
        {"a lone byte that a Latin-1 terminal takes as CSI",
         "a\x9B"
         "2J",
         "a\\x9B2J", "a\\x9B2J"},
        {"a sequence cut short", "a\xE2\x82", "a\\xE2\\x82", "a\\xE2\\x82"},
        {"a lone 0x80 byte", "a\x80", "a\\x80", "a\\x80"},
        {"the last C1 control, U+009F", "a\xC2\x9F", "a\\xC2\\x9F", "a\\xC2\\x9F"},
        {"a right-to-left override", "b\u202Efdp.exe", "b\\u{202E}fdp.exe", "b\\u{202E}fdp.exe"},
        {"each end of each reordering range", "\u061C\u200B\u200E\u200F\u202A\u2060\u2064\u2066\u2069\uFEFF",
         "\\u{061C}\\u{200B}\\u{200E}\\u{200F}\\u{202A}\\u{2060}\\u{2064}\\u{2066}\\u{2069}\\u{FEFF}",
         "\\u{061C}\\u{200B}\\u{200E}\\u{200F}\\u{202A}\\u{2060}\\u{2064}\\u{2066}\\u{2069}\\u{FEFF}"},
        {"the joiners, and the neighbours of the ranges, stay",
         "\u200C\u200D\u200A\u2010\u2029\u202F\u205F\u2065\u206A",
         "\u200C\u200D\u200A\u2010\u2029\u202F\u205F\u2065\u206A",
         "\u200C\u200D\u200A\u2010\u2029\u202F\u205F\u2065\u206A"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EscapedText(row.text), row.shown) << row.what;
        EXPECT_EQ(EscapedText(row.text, true), row.shown_keeping_line_breaks) << row.what;
        EXPECT_EQ(EscapedText(row.shown), row.shown) << row.what << ": shown twice";
        EXPECT_EQ(util::HoldsReorderingCharacter(row.text), row.shown.find("\\u{") != std::string::npos) << row.what;
    }
}

}  // namespace
