#include "util/trim.h"

#include <gtest/gtest.h>

namespace {

TEST(TrimSpaces, RemovesOnlyLeadingAndTrailingSpaces) {
    struct Row {
        const char* text;
        const char* trimmed;
    };
    const Row rows[] = {
        {"", ""},
        {"   ", ""},
        {"  key  ", "key"},
        {"a b", "a b"},
        {"\tkey\t", "\tkey\t"},
        {" \r\nkey\n ", "\r\nkey\n"},
        {"\xA0key\xA0", "\xA0key\xA0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(util::TrimSpaces(row.text), row.trimmed) << "text: '" << row.text << "'";
    }
}

TEST(TrimSpaces, KeepsEmbeddedNul) {
    const std::string text(" a\0b ", 5);
    EXPECT_EQ(util::TrimSpaces(text), std::string("a\0b", 3));
}

}  // namespace
