#include "platform/process_guard.h"
#include "zqcrypt/run.h"

#include <cstdlib>
#include <string_view>
#include <vector>

int main(int argc, char* argv[]) {
    platform::ForbidCoreDumps();
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const zqcrypt::KeySources key_sources{.variable = std::getenv(zqcrypt::kKeyVariable)};
    return static_cast<int>(zqcrypt::Run(arguments, key_sources, zqcrypt::Console{}));
}
