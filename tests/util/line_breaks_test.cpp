#include "util/line_breaks.h"

#include <gtest/gtest.h>

namespace {

TEST(WithCrLfLineBreaks, EveryBreakBecomesCrLfAndNothingElseChanges) {
    struct Row {
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"", ""},
        {"one line", "one line"},
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"\r\r\n", "\r\n\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"end\r", "end\r\n"},
        {std::string("\0\t\x1b\xff", 4), std::string("\0\t\x1b\xff", 4)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(util::WithCrLfLineBreaks(row.text), row.expected) << "text of " << row.text.size() << " bytes";
    }
}

}  // namespace
