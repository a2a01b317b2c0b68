#pragma once

#include "jobs/uncarriable_input.h"

#include <optional>
#include <string>

namespace zqcrypt {

struct Console;

// The environment variable that carries the client key, as UTF-8 text.
inline constexpr const char* kKeyVariable = "ZQ_KEY";
inline constexpr const char* kKeyPrompt = "Client key: ";

// Where the key may come from. The command line is never one of them.
struct KeySources {
    const char* variable = nullptr;  // the value of ZQ_KEY; null when it is not set
    int terminal_fd = 0;             // asked with a prompt when this is a terminal
    int prompt_fd = 2;
};

// ZQ_KEY wins when it is set; otherwise the key is asked for when standard
// input is a terminal. The key as UTF-8 text, spaces trimmed from both ends;
// empty when there is none: the caller refuses with "Key Missing!".
[[nodiscard]] std::string ReadClientKey(const KeySources& sources);

// The key for a command, as the cipher takes it (a byte string through the
// single-byte code page), or nothing once the refusal has been said on the
// console: "Key Missing!", or, for a command that makes something new, a key
// the code page cannot carry. Reading goes on with such a key, after a
// warning: files and texts that clients already have were made with each such
// character as "?", and may depend on it.
[[nodiscard]] std::optional<std::string> KeyForCommand(const KeySources& sources, m_Decoder::KeyUse use,
                                                       const Console& console);

}  // namespace zqcrypt
