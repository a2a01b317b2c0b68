#pragma once

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

struct ClientKey {
    // As the cipher takes it: spaces trimmed from both ends, then turned into
    // a byte string through the single-byte code page. Empty when there is no
    // key: the caller refuses with "Key Missing!".
    std::string bytes;
    // Some character of the key has no code in the code page and became "?".
    // New containers and texts refuse such a key; reading old ones warns.
    bool outside_code_page = false;
};

// ZQ_KEY wins when it is set; otherwise the key is asked for when standard
// input is a terminal.
[[nodiscard]] ClientKey ReadClientKey(const KeySources& sources);

// What a command does with the key: read what exists, or make something new.
enum class KeyUse { kRead, kMake };

// The key for a command, or nothing once the refusal has been said on the
// console: "Key Missing!", or, for a command that makes something new, a key
// the code page cannot carry. Reading goes on with such a key, after a
// warning: files and texts that clients already have were made with each such
// character as "?", and may depend on it.
[[nodiscard]] std::optional<std::string> KeyForCommand(const KeySources& sources, KeyUse use, const Console& console);

}  // namespace zqcrypt
