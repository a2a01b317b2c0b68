// libFuzzer target: arbitrary bytes as an encrypted container, decrypted to a
// file. Any broken promise aborts, so the fuzzer keeps the input.
#include "decrypt_container_entry.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const std::string broken = zqfuzz::DecryptContainer(data, size); !broken.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
