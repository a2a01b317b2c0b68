#include "zqcrypt/text_commands.h"

#include "cipher/text_cipher.h"
#include "jobs/uncarriable_input.h"
#include "platform/code_page.h"
#include "platform/runtime_error.h"
#include "util/line_breaks.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/messages.h"

#include <optional>
#include <string>
#include <string_view>

namespace zqcrypt {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLoneLineBreakWarning =
    "warning: the encoded text holds a lone CR or LF, which decode-text reads as a line break; use --raw on both "
    "sides to keep it exact";

[[nodiscard]] std::string BytesFromInput(std::string_view input, bool raw) {
    if (raw) {
        return std::string(input);
    }
    // Editors on other systems start UTF-8 files with a byte-order mark; it is
    // no part of the text and the code page has no character for it.
    if (input.starts_with(kUtf8ByteOrderMark)) {
        input.remove_prefix(kUtf8ByteOrderMark.size());
    }
    return platform::codepage::BytesFromUtf8(util::WithCrLfLineBreaks(input));
}

[[nodiscard]] std::string OutputFromBytes(std::string_view bytes, Command command, bool raw) {
    if (raw) {
        return std::string(bytes);
    }
    std::string text = platform::codepage::Utf8FromBytes(bytes);
    // Encoded text is cipher output: any character, CR and LF included, is
    // part of it and must stay as it is.
    return command == Command::kDecodeText ? util::WithNativeLineBreaks(text) : text;
}

// The most input that can still be a text the cipher takes: a character is
// at most four bytes of UTF-8, and a byte-order mark may come first.
[[nodiscard]] std::size_t LongestInput(bool raw) {
    return raw ? m_Decoder::kLongestText : 4 * m_Decoder::kLongestText + kUtf8ByteOrderMark.size();
}

// A new text is refused for a character the code page would turn into "?".
[[nodiscard]] std::size_t FirstUncarriableCharacter(std::string_view input) {
    if (input.starts_with(kUtf8ByteOrderMark)) {
        input.remove_prefix(kUtf8ByteOrderMark.size());
    }
    return platform::codepage::FirstUncarriableUtf8(input);
}

}  // namespace

ExitStatus RunTextCommand(const Invocation& invocation, const KeySources& key_sources, const Console& console) {
    const bool decode = invocation.command == Command::kDecodeText;
    const std::optional<std::string> key_found =
        KeyForCommand(key_sources, decode ? m_Decoder::KeyUse::kRead : m_Decoder::KeyUse::kMake, console);
    if (!key_found) {
        return ExitStatus::kRefused;
    }
    const std::string& key = *key_found;

    std::string input;
    try {
        input = ReadAtMost(console.in, LongestInput(invocation.raw));
    } catch (const platform::RuntimeError& error) {
        Complain(console, "cannot read standard input: " + platform::ErrorText(error));
        return ExitStatus::kJobFailed;
    }
    // Reading stopped one byte past what any text the cipher takes could be.
    const bool cut_short = input.size() > LongestInput(invocation.raw);
    const std::string bytes = cut_short ? std::string() : BytesFromInput(input, invocation.raw);
    if (cut_short || bytes.size() > m_Decoder::kLongestText) {
        Complain(console, decode ? kEncryptedTextTooLong : kTextToEncodeTooLong);
        return ExitStatus::kRefused;
    }
    if (!decode && !invocation.raw) {
        if (const std::size_t position = FirstUncarriableCharacter(input);
            position != platform::codepage::kAllCarriable) {
            Complain(console, m_Decoder::TextCannotBeProtected(position));
            return ExitStatus::kRefused;
        }
    }

    std::string output;
    try {
        const std::string result = decode ? m_Decoder::DecodeText(bytes, key) : m_Decoder::EncodeText(bytes, key);
        output = OutputFromBytes(result, invocation.command, invocation.raw);
        // The cipher can put a lone CR or LF into encoded text; decoding it as
        // text turns that into CR LF and garbles everything after it.
        if (invocation.command == Command::kEncodeText && !invocation.raw &&
            util::WithCrLfLineBreaks(result) != result) {
            Complain(console, kLoneLineBreakWarning);
        }
    } catch (const platform::RuntimeError& error) {
        Complain(console, platform::ErrorText(error));
        return ExitStatus::kJobFailed;
    }

    return WriteOutput(console, output);
}

}  // namespace zqcrypt
