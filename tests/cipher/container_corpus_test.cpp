#include "decrypt_container_entry.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

TEST(ContainerCorpus, EverySeedKeepsTheContainerPromises) {
    const fs::path corpus = fs::path(testsupport::kDataDir) / "container-corpus";
    int seeds = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(zqfuzz::DecryptContainer(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << entry.path().filename();
        ++seeds;
    }
    EXPECT_GE(seeds, 10);
}

}  // namespace
