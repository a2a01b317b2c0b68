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

std::string ReadClientKey(const KeySources& sources) {
    std::string utf8;
    if (sources.variable != nullptr) {
        utf8 = sources.variable;
    } else if (IsTerminal(sources.terminal_fd)) {
        std::optional<std::string> typed = ReadHiddenLine(sources.terminal_fd, sources.prompt_fd, kKeyPrompt);
        if (typed) {
            utf8 = std::move(*typed);
        }
    }
    return util::TrimSpaces(utf8);
}

std::optional<std::string> KeyForCommand(const KeySources& sources, m_Decoder::KeyUse use, const Console& console) {
    const std::string key = ReadClientKey(sources);
    if (key.empty()) {
        Complain(console, kKeyMissing);
        if (sources.variable == nullptr && !IsTerminal(sources.terminal_fd)) {
            Complain(console, kHowToGiveTheKey);  // a script's author would not know where else to look
        }
        return std::nullopt;
    }
    switch (m_Decoder::FitOfKeyUtf8(key, use)) {
        case m_Decoder::KeyFit::kRefused:
            Complain(console, m_Decoder::kKeyCannotBeUsed);
            return std::nullopt;
        case m_Decoder::KeyFit::kWeakened:
            Complain(console, kKeyOutsideCodePageWarning);
            break;
        case m_Decoder::KeyFit::kWhole:
            break;
    }
    return platform::codepage::BytesFromUtf8(key);
}

}  // namespace zqcrypt
