#include "zqcrypt/client_key.h"

#include "jobs/uncarriable_input.h"
#include "platform/code_page.h"
#include "util/trim.h"
#include "zqcrypt/console.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/hidden_input.h"
#include "zqcrypt/messages.h"

#include <optional>

namespace zqcrypt {

ClientKey ReadClientKey(const KeySources& sources) {
    std::string utf8;
    if (sources.variable != nullptr) {
        utf8 = sources.variable;
    } else if (IsTerminal(sources.terminal_fd)) {
        std::optional<std::string> typed = ReadHiddenLine(sources.terminal_fd, sources.prompt_fd, kKeyPrompt);
        if (typed) {
            utf8 = std::move(*typed);
        }
    }
    const std::string trimmed = util::TrimSpaces(utf8);
    return ClientKey{
        .bytes = platform::codepage::BytesFromUtf8(trimmed),
        .outside_code_page = platform::codepage::FirstUncarriableUtf8(trimmed) != platform::codepage::kAllCarriable,
    };
}

std::optional<std::string> KeyForCommand(const KeySources& sources, KeyUse use, const Console& console) {
    ClientKey key = ReadClientKey(sources);
    if (key.bytes.empty()) {
        Complain(console, kKeyMissing);
        if (sources.variable == nullptr && !IsTerminal(sources.terminal_fd)) {
            Complain(console, kHowToGiveTheKey);  // a script's author would not know where else to look
        }
        return std::nullopt;
    }
    if (key.outside_code_page) {
        if (use == KeyUse::kMake) {
            Complain(console, m_Decoder::kKeyCannotBeUsed);
            return std::nullopt;
        }
        Complain(console, kKeyOutsideCodePageWarning);
    }
    return std::move(key.bytes);
}

}  // namespace zqcrypt
