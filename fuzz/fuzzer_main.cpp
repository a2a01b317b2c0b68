// The libFuzzer entry point of every fuzz target. Each target is built from
// this file with ZQ_FUZZ_HEADER naming its check's header and ZQ_FUZZ_ENTRY
// its check: a function of the input's bytes that returns "" when every
// promise holds, else what was broken. A broken promise aborts, so that the
// fuzzer keeps the input.
#include ZQ_FUZZ_HEADER

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const std::string broken = ZQ_FUZZ_ENTRY(data, size); !broken.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
