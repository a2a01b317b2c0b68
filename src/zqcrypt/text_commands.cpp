#include "zqcrypt/text_commands.h"

#include "cipher/text_cipher.h"
#include "platform/code_page.h"
#include "platform/runtime_error.h"
#include "util/line_breaks.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/messages.h"

#include <string>
#include <string_view>

namespace zqcrypt {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLoneLineBreakWarning =
    "warning: the encoded text holds a lone CR or LF, which decode-text reads as a line break; use --raw on both "
    "sides to keep it exact";

// The cipher works on CR LF; a decoded text goes back to the terminal, a
// file or a pipe of this system, where a line ends with LF alone.
[[nodiscard]] std::string WithNativeLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        result.push_back(text[i]);
    }
    return result;
}

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
    return command == Command::kDecodeText ? WithNativeLineBreaks(text) : text;
}

}  // namespace

ExitStatus RunTextCommand(const Invocation& invocation, const KeySources& key_sources, const Console& console) {
    const std::string key = ReadClientKey(key_sources);
    if (key.empty()) {
        Complain(console, kKeyMissing);
        return ExitStatus::kRefused;
    }

    std::string input;
    try {
        input = ReadAll(console.in);
    } catch (const platform::RuntimeError& error) {
        Complain(console, "cannot read standard input: " + platform::ErrorText(error));
        return ExitStatus::kJobFailed;
    }
    const std::string bytes = BytesFromInput(input, invocation.raw);
    if (bytes.size() > m_Decoder::kLongestText) {
        Complain(console, invocation.command == Command::kDecodeText ? kEncryptedTextTooLong : kTextToEncodeTooLong);
        return ExitStatus::kRefused;
    }

    std::string output;
    try {
        const std::string result = invocation.command == Command::kDecodeText ? m_Decoder::DecodeText(bytes, key)
                                                                              : m_Decoder::EncodeText(bytes, key);
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
