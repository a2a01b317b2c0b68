#include "zqcrypt/run.h"

#include "platform/runtime_error.h"
#include "version.h"
#include "zqcrypt/arguments.h"
#include "zqcrypt/fd_io.h"
#include "zqcrypt/file_commands.h"
#include "zqcrypt/text_commands.h"
#include "zqcrypt/usage.h"

#include <exception>
#include <string>

namespace zqcrypt {
namespace {

[[nodiscard]] ExitStatus Dispatch(const Invocation& invocation, const KeySources& key_sources, const Console& console) {
    switch (invocation.command) {
        case Command::kHelp:
            return WriteOutput(console, HelpText());
        case Command::kVersion:
            return WriteOutput(console, "zqcrypt " + app::VersionNumberText() + "\n");
        case Command::kDecrypt:
        case Command::kEncrypt:
            return RunFileCommand(invocation, key_sources, console);
        case Command::kDecodeText:
        case Command::kEncodeText:
            return RunTextCommand(invocation, key_sources, console);
    }
    return ExitStatus::kUsage;
}

[[nodiscard]] ExitStatus ParseAndDispatch(std::span<const std::string_view> arguments, const KeySources& key_sources,
                                          const Console& console) noexcept {
    try {
        Invocation invocation;
        try {
            invocation = ParseArguments(arguments);
        } catch (const UsageError& error) {
            Complain(console, error.what());
            try {
                WriteAll(console.err, UsageText());
            } catch (const platform::RuntimeError&) {
                console.failures->NoteError();
            }
            return ExitStatus::kUsage;
        }
        return Dispatch(invocation, key_sources, console);
    } catch (const platform::RuntimeError& error) {
        // The terminal could not be switched for the key prompt, and the like.
        Complain(console, platform::ErrorText(error));
    } catch (const std::exception& error) {
        Complain(console, error.what());
    }
    return ExitStatus::kJobFailed;
}

}  // namespace

ExitStatus Run(std::span<const std::string_view> arguments, const KeySources& key_sources,
               const Console& console) noexcept {
    return WithWriteFailures(console, ParseAndDispatch(arguments, key_sources, console));
}

}  // namespace zqcrypt
