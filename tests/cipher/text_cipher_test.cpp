#include "cipher/text_cipher.h"

#include "platform/runtime_error.h"

#include <gtest/gtest.h>

namespace {

using m_Decoder::DecodeText;
using m_Decoder::EncodeText;

std::string Codes(std::initializer_list<int> codes) {
    std::string s;
    for (const int c : codes) {
        s.push_back(static_cast<char>(c));
    }
    return s;
}

int RaisedNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(TextCipher, CodeArithmeticAtTheWrap) {
    struct Row {
        const char* what;
        int text;
        int key;
        int encoded;
        int decoded;
    };
    const Row rows[] = {
        {"equal codes encode to 255", 'a', 'a', 255, 194},
        {"sum of 255 stays 255", 200, 55, 145, 255},
        {"sum of 256 wraps to 1", 200, 56, 144, 1},
        {"both 255", 255, 255, 255, 255},
        {"text 0 under key 255", 0, 255, 0, 255},
        {"text 0 under key 1", 0, 1, 254, 1},
        {"key 0 leaves text alone", 77, 0, 77, 77},
        {"text 255 under key 1", 255, 1, 254, 1},
        {"text 1 under key 1", 1, 1, 255, 2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EncodeText(Codes({row.text}), Codes({row.key})), Codes({row.encoded})) << row.what;
        EXPECT_EQ(DecodeText(Codes({row.text}), Codes({row.key})), Codes({row.decoded})) << row.what;
    }
}

TEST(TextCipher, EveryCodeRoundTripsUnderEveryKeyCode) {
    for (int k = 0; k < 256; ++k) {
        for (int t = 1; t < 256; ++t) {
            const std::string text = Codes({t});
            const std::string key = Codes({k});
            ASSERT_EQ(DecodeText(EncodeText(text, key), key), text) << "t=" << t << " k=" << k;
            ASSERT_EQ(EncodeText(DecodeText(text, key), key), text) << "t=" << t << " k=" << k;
        }
    }
    EXPECT_EQ(DecodeText(EncodeText(Codes({0}), "k"), "k"), Codes({255}));
}

TEST(TextCipher, UsesTheKeyCyclicallyFromItsStartAtEveryCall) {
    const std::string key = Codes({1, 2, 3});
    const std::string text = Codes({10, 10, 10, 10, 10, 10, 10});
    EXPECT_EQ(DecodeText(text, key), Codes({11, 12, 13, 11, 12, 13, 11}));
    EXPECT_EQ(DecodeText(text, key), DecodeText(text, key));
    // A key longer than the text: the characters beyond the text have no effect.
    EXPECT_EQ(DecodeText("ab", "xyz"), DecodeText("ab", "xyQ"));
    // Control characters and code 0 stay in the result, which keeps the text's length.
    const std::string controls("\0\r\n\0", 4);
    EXPECT_EQ(DecodeText(controls, std::string(1, '\0')), controls);
}

TEST(TextCipher, Limits) {
    EXPECT_EQ(DecodeText("", ""), "");
    EXPECT_EQ(EncodeText("", ""), "");
    EXPECT_EQ(RaisedNumber([] { (void)DecodeText("a", ""); }), platform::err::kInvalidProcedureCall);
    EXPECT_EQ(RaisedNumber([] { (void)EncodeText("a", ""); }), platform::err::kInvalidProcedureCall);

    EXPECT_EQ(DecodeText(std::string(32766, 'a'), "k").size(), 32766U);
    EXPECT_EQ(RaisedNumber([] { (void)DecodeText(std::string(32767, 'a'), "k"); }), platform::err::kOverflow);
    EXPECT_EQ(RaisedNumber([] { (void)EncodeText(std::string(40000, 'a'), "k"); }), platform::err::kOverflow);
    // A text too long for the counter fails before the first key lookup.
    EXPECT_EQ(RaisedNumber([] { (void)DecodeText(std::string(32768, 'a'), ""); }), platform::err::kOverflow);
    EXPECT_EQ(RaisedNumber([] { (void)DecodeText(std::string(32767, 'a'), ""); }),
              platform::err::kInvalidProcedureCall);
}

TEST(TextCipher, KeyCharCodeIsOneBased) {
    EXPECT_EQ(m_Encryption::KeyCharCode("\xFF"
                                        "b",
                                        1),
              255);
    EXPECT_EQ(m_Encryption::KeyCharCode("ab", 2), 'b');
    EXPECT_EQ(RaisedNumber([] { (void)m_Encryption::KeyCharCode("ab", 3); }), platform::err::kInvalidProcedureCall);
    EXPECT_EQ(RaisedNumber([] { (void)m_Encryption::KeyCharCode("ab", 0); }), platform::err::kInvalidProcedureCall);
}

}  // namespace
