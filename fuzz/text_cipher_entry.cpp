#include "text_cipher_entry.h"

#include "cipher/text_cipher.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace zqfuzz {
namespace {

using m_Decoder::DecodeText;
using m_Decoder::EncodeText;
using Transform = std::function<std::string(const std::string&, const std::string&)>;

// The result, or the number of the error raised.
struct Outcome {
    std::string text;
    std::optional<std::int32_t> error;
};

Outcome Run(const Transform& transform, const std::string& text, const std::string& key) {
    try {
        return {transform(text, key), std::nullopt};
    } catch (const platform::RuntimeError& error) {
        return {{}, error.Number()};
    }
}

int Code(char c) {
    return static_cast<unsigned char>(c);
}

// A code 0 does not survive the round: it comes back as 255.
std::string ZeroAs255(std::string text) {
    std::replace(text.begin(), text.end(), '\0', '\xff');
    return text;
}

std::string CheckCodes(const std::string& text, const std::string& key, const std::string& encoded,
                       const std::string& decoded) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int t = Code(text[i]);
        const int k = Code(key[i % key.size()]);
        if ((Code(decoded[i]) - t - k) % 255 != 0) {
            return "a decoded code is not the text code plus the key code, modulo 255";
        }
        if ((Code(encoded[i]) - t + k) % 255 != 0) {
            return "an encoded code is not the text code minus the key code, modulo 255";
        }
        if (Code(encoded[i]) == 0 && !(t == 0 && k == 255)) {
            return "encoding gave code 0 other than for code 0 under key code 255";
        }
        if (Code(decoded[i]) == 0 && !(t == 0 && k == 0)) {
            return "decoding gave code 0 other than for code 0 under key code 0";
        }
    }
    return "";
}

std::string CheckResults(const std::string& text, const std::string& key, const Outcome& encoded,
                         const Outcome& decoded) {
    if (encoded.text.size() != text.size() || decoded.text.size() != text.size()) {
        return "a result is not as long as the text";
    }
    if (text.empty()) {
        return "";
    }
    if (std::string broken = CheckCodes(text, key, encoded.text, decoded.text); !broken.empty()) {
        return broken;
    }
    if (Run(DecodeText, encoded.text, key).text != ZeroAs255(text)) {
        return "decoding does not undo encoding";
    }
    if (Run(EncodeText, decoded.text, key).text != ZeroAs255(text)) {
        return "encoding does not undo decoding";
    }
    if (key.size() > text.size() && Run(DecodeText, text, key.substr(0, text.size())).text != decoded.text) {
        return "key characters beyond the text's length changed the result";
    }
    if (Run(DecodeText, text, key).text != decoded.text) {
        return "the same text and key gave another result";
    }
    return "";
}

}  // namespace

std::string RunTextCipher(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t key_length = bytes.empty() ? 0 : std::min<std::size_t>(static_cast<unsigned char>(bytes[0]), bytes.size() - 1);
    const std::string key = bytes.empty() ? "" : bytes.substr(1, key_length);
    const std::string text = bytes.empty() ? "" : bytes.substr(1 + key_length);

    const Outcome encoded = Run(EncodeText, text, key);
    const Outcome decoded = Run(DecodeText, text, key);
    if (encoded.error != decoded.error) {
        return "the two directions disagree on whether the input is allowed";
    }
    std::optional<std::int32_t> expected_error;
    // A text longer than 32,767 characters is refused before the first key
    // lookup; one of exactly 32,767 only after the last character.
    if (text.size() > m_Decoder::kLongestText + 1) {
        expected_error = platform::err::kOverflow;
    } else if (key.empty() && !text.empty()) {
        expected_error = platform::err::kInvalidProcedureCall;
    } else if (text.size() == m_Decoder::kLongestText + 1) {
        expected_error = platform::err::kOverflow;
    }
    if (decoded.error != expected_error) {
        return "raised error " + std::to_string(decoded.error.value_or(0)) + ", expected " +
               std::to_string(expected_error.value_or(0));
    }
    return decoded.error ? "" : CheckResults(text, key, encoded, decoded);
}

}  // namespace zqfuzz
