#include "platform/process_guard.h"
#include "zqcrypt/run.h"

#include <csignal>
#include <cstdlib>
#include <string_view>
#include <vector>

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    // A reader that goes away (`| head -n 1`) must not end a queue halfway:
    // writes to it fail with EPIPE instead, and the exit status tells it.
    // The signal handlers for the key prompt and for unfinished files leave
    // an ignored signal ignored.
    (void)std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const zqcrypt::KeySources key_sources{.variable = std::getenv(zqcrypt::kKeyVariable)};
    return static_cast<int>(zqcrypt::Run(arguments, key_sources, zqcrypt::Console{}));
}
