#include "zqcrypt/arguments.h"

#include "zqcrypt/client_key.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace zqcrypt {
namespace {

struct CommandName {
    std::string_view name;
    Command command;
    std::size_t paths;
};

constexpr std::array kCommands = {
    CommandName{"decrypt", Command::kDecrypt, 2},
    CommandName{"encrypt", Command::kEncrypt, 2},
    CommandName{"decode-text", Command::kDecodeText, 0},
    CommandName{"encode-text", Command::kEncodeText, 0},
};

// Long options whose name holds one of these words are taken for an attempt
// to pass the key, and so are -k and -p in any form.
constexpr std::array<std::string_view, 4> kKeyWords = {"key", "pass", "secret", "pwd"};

[[nodiscard]] bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

// "--name=value" -> "--name"; "-xvalue" -> "-x". Only this part of an unknown
// option is ever shown, so that a value typed after it stays private.
[[nodiscard]] std::string_view OptionName(std::string_view option) {
    if (option.starts_with("--")) {
        return option.substr(0, option.find('='));
    }
    return option.substr(0, 2);
}

[[nodiscard]] bool LooksLikeKeyOption(std::string_view option) {
    if (option.starts_with("--")) {
        const std::string_view name = OptionName(option).substr(2);
        return std::any_of(kKeyWords.begin(), kKeyWords.end(),
                           [name](std::string_view word) { return name.find(word) != std::string_view::npos; });
    }
    const std::string_view name = OptionName(option);
    return name == "-k" || name == "-p";
}

[[nodiscard]] std::optional<CommandName> FindCommand(std::string_view name) {
    const auto* found = std::find_if(kCommands.begin(), kCommands.end(),
                                     [name](const CommandName& command) { return command.name == name; });
    if (found == kCommands.end()) {
        return std::nullopt;
    }
    return *found;
}

[[nodiscard]] bool IsTextCommand(Command command) {
    return command == Command::kDecodeText || command == Command::kEncodeText;
}

}  // namespace

Invocation ParseArguments(std::span<const std::string_view> arguments) {
    std::vector<std::string_view> operands;
    bool help = false;
    bool version = false;
    bool raw = false;
    bool quiet = false;
    bool beside = false;
    bool options_ended = false;
    for (const std::string_view argument : arguments) {
        if (options_ended || !IsOption(argument)) {
            operands.push_back(argument);
        } else if (argument == "--") {
            options_ended = true;
        } else if (LooksLikeKeyOption(argument)) {
            throw UsageError(
                "the client key is never taken from the command line, where every user of the "
                "machine can read it; set " +
                std::string(kKeyVariable) + " or type the key at the \"" + std::string(kKeyPrompt) + "\" prompt");
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (argument == "-V" || argument == "--version") {
            version = true;
        } else if (argument == "--raw") {
            raw = true;
        } else if (argument == "-q" || argument == "--quiet") {
            quiet = true;
        } else if (argument == "--beside") {
            beside = true;
        } else {
            throw UsageError("unknown option " + std::string(OptionName(argument)));
        }
    }

    Invocation invocation;
    if (help || version) {
        invocation.command = help ? Command::kHelp : Command::kVersion;
        return invocation;
    }
    if (operands.empty()) {
        throw UsageError("no command given");
    }
    const std::optional<CommandName> command = FindCommand(operands.front());
    if (!command) {
        throw UsageError("unknown command; the commands are decrypt, encrypt, decode-text and encode-text");
    }
    invocation.command = command->command;
    const std::string name(command->name);
    if (beside) {
        if (invocation.command != Command::kDecrypt) {
            throw UsageError("--beside applies only to decrypt");
        }
        if (operands.size() < 2) {
            throw UsageError("decrypt --beside takes one or more file names");
        }
        if (raw) {
            throw UsageError("--raw applies only to decode-text and encode-text");
        }
        invocation.beside.assign(operands.begin() + 1, operands.end());
        invocation.quiet = quiet;
        return invocation;
    }
    if (operands.size() - 1 != command->paths) {
        throw UsageError(command->paths == 0 ? name + " takes no file names: it reads standard input"
                                             : name + " takes two file names, SRC and DST");
    }
    if (raw && !IsTextCommand(invocation.command)) {
        throw UsageError("--raw applies only to decode-text and encode-text");
    }
    if (quiet && IsTextCommand(invocation.command)) {
        throw UsageError("--quiet applies only to decrypt and encrypt");
    }
    if (command->paths == 2) {
        invocation.source = operands[1];
        invocation.destination = operands[2];
    }
    invocation.raw = raw;
    invocation.quiet = quiet;
    return invocation;
}

}  // namespace zqcrypt
