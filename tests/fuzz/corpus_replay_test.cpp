// Built once for each fuzz target, with ZQ_FUZZ_HEADER, ZQ_FUZZ_ENTRY and
// ZQ_FUZZ_SEEDS naming its check and its seed corpus (see fuzz/targets.cmake).
#include ZQ_FUZZ_HEADER
#include "support/temp_dir.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A corpus this small would hardly guide the fuzzer anywhere.
constexpr int kFewestSeeds = 5;

TEST(FuzzCorpus, EverySeedKeepsThePromises) {
    const fs::path corpus = fs::path(testsupport::kDataDir) / ZQ_FUZZ_SEEDS;
    int seeds = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        const std::string bytes = testsupport::ReadFile(entry.path());
        EXPECT_EQ(ZQ_FUZZ_ENTRY(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << entry.path().filename();
        ++seeds;
    }
    EXPECT_GE(seeds, kFewestSeeds);
}

}  // namespace
