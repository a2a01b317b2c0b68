#include "util/escaped_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using util::EscapedText;

TEST(EscapedText, ShowsControlsAndBrokenBytesAsHex) {
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
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EscapedText(row.text), row.shown) << row.what;
        EXPECT_EQ(EscapedText(row.text, true), row.shown_keeping_line_breaks) << row.what;
        EXPECT_EQ(EscapedText(row.shown), row.shown) << row.what << ": shown twice";
    }
}

}  // namespace
