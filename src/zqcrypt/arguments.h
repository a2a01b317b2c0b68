#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zqcrypt {

enum class Command { kHelp, kVersion, kDecrypt, kEncrypt, kDecodeText, kEncodeText };

// What the command line asks for. Paths are taken exactly as given (UTF-8).
struct Invocation {
    Command command = Command::kHelp;
    std::string source;
    std::string destination;
    // decrypt --beside FILE...: each file decrypted beside itself, under the
    // name the attachment window proposes; source and destination stay empty.
    std::vector<std::string> beside;
    bool raw = false;    // decode-text, encode-text: bytes in and out, no code page
    bool quiet = false;  // decrypt, encrypt: no status lines
};

// A command line that cannot be run. The message never repeats a value that
// the user typed after an option, since that may have been a key.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments that follow the program name. Throws UsageError.
[[nodiscard]] Invocation ParseArguments(std::span<const std::string_view> arguments);

}  // namespace zqcrypt
