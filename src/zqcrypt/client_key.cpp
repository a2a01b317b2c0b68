#include "zqcrypt/client_key.h"

#include "platform/code_page.h"
#include "util/trim.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/hidden_input.h"

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

}  // namespace zqcrypt
