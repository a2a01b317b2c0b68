#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::codepage;

TEST(CodePage, EveryCodeSurvivesTheTripThroughText) {
    std::string all;
    for (int code = 0; code < 256; ++code) {
        all.push_back(static_cast<char>(code));
    }
    EXPECT_EQ(BytesFromCodePoints(CodePointsFromBytes(all)), all);
    EXPECT_EQ(BytesFromUtf8(Utf8FromBytes(all)), all);
}

TEST(CodePage, MapsWindows1252AndItsGaps) {
    struct Row {
        unsigned char code;
        char32_t character;
    };
    // The whole row from 0x80 to 0x9F, where Windows-1252 parts from Latin-1;
    // its five gaps (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for their C1 controls.
    const Row rows[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E},
        {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039},
        {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019},
        {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122},
        {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0},
        {0xE9, 0x00E9}, {0xFC, 0x00FC}, {0xFF, 0x00FF},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CharOfCode(row.code), row.character) << "code " << int{row.code};
        EXPECT_EQ(CodeOfChar(row.character), row.code) << "code " << int{row.code};
    }
}

TEST(CodePage, CharactersOutsideBecomeQuestionMarks) {
    for (const char32_t c :
         {char32_t{0x80}, char32_t{0x9F}, char32_t{0x100}, char32_t{0x20AD}, char32_t{0x1F600}, char32_t{0xFFFD}}) {
        EXPECT_EQ(CodeOfChar(c), '?') << "U+" << std::hex << static_cast<unsigned>(c);
    }
}

TEST(CodePage, ReadsUtf8) {
    EXPECT_EQ(BytesFromUtf8("Schl\xC3\xBCssel\xE2\x82\xAC"), "Schl\xFCssel\x80");
    EXPECT_EQ(Utf8FromBytes("Schl\xFCssel\x80"), "Schl\xC3\xBCssel\xE2\x82\xAC");
    EXPECT_EQ(BytesFromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, MalformedUtf8BecomesQuestionMarks) {
    struct Row {
        std::string utf8;
        std::string bytes;
    };
    const Row rows[] = {
        {"\x80", "?"},                 // stray continuation byte
        {"\xC3", "?"},                 // cut short
        {"\xC0\xAF", "??"},            // overlong form of '/'
        {"\xED\xA0\x80", "???"},       // a surrogate
        {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
        {"a\xE2\x82z", "a??z"},        // broken in the middle
        {"\xF0\x9F\x98\x80", "?"},     // well formed, but not in the code page
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BytesFromUtf8(row.utf8), row.bytes);
    }
}

}  // namespace

namespace {

TEST(CodePage, FindsTheFirstCharacterItCannotCarry) {
    struct Row {
        const char* what;
        std::string utf8;
        std::size_t position;
    };
    const Row rows[] = {
        {"empty", "", kAllCarriable},
        {"Western European", "Schl\xC3\xBCssel \xE2\x82\xAC \xC5\xA0 \xE2\x84\xA2", kAllCarriable},
        {"question marks are carried", "???", kAllCarriable},
        {"every gap control is carried", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", kAllCarriable},
        {"Cyrillic first", "\xD0\xBF\xD0\xB0", 1},
        {"counted in characters, not bytes", "\xC3\xA9\xC3\xA9x\xE2\x98\x83", 4},
        {"a C1 control the code page replaced", "ab\xC2\x80", 3},
        {"an emoji", "a\xF0\x9F\x98\x80", 2},
        {"malformed UTF-8", "ab\xFF", 3},
        {"U+FFFD itself", "\xEF\xBF\xBD", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FirstUncarriableUtf8(row.utf8), row.position) << row.what;
        if (row.position == kAllCarriable) {
            EXPECT_EQ(Utf8FromBytes(BytesFromUtf8(row.utf8)), row.utf8) << row.what << ": not carried whole";
        }
    }
    EXPECT_EQ(FirstUncarriable(U"caf\u00E9 \u2603"), 6U);
    EXPECT_EQ(FirstUncarriable(U"caf\u00E9 ?"), kAllCarriable);
}

}  // namespace
