#include "zqcrypt/client_key.h"

#include "platform/code_page.h"
#include "util/trim.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/hidden_input.h"

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
    return platform::codepage::BytesFromUtf8(util::TrimSpaces(utf8));
}

}  // namespace zqcrypt
