#include "platform/byte_file.h"

#include "platform/runtime_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using platform::ByteFileReader;
using namespace testsupport;
namespace err = platform::err;
namespace fs = std::filesystem;

TEST(ByteFileReader, ReadsAnywhereInARegularFile) {
    TempDir dir;
    WriteFile(dir / "file", std::string("0123456789\0\xFF", 12));
    const ByteFileReader reader(dir / "file");
    EXPECT_EQ(reader.Length(), 12U);
    std::vector<std::uint8_t> bytes(3);
    reader.ReadAt(9, bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'9', 0, 0xFF}));
    try {
        reader.ReadAt(10, bytes);
        ADD_FAILURE() << "a read past the end must fail";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.Number(), err::kInputPastEndOfFile);
    }
}

TEST(ByteFileReader, OpensOnlyRegularFiles) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    struct Row {
        const char* name;
        int number;
    };
    // A pipe without a writer must not block the open.
    const Row rows[] = {
        {"missing", err::kFileNotFound}, {"folder", err::kPathFileAccessError}, {"pipe", err::kPathFileAccessError}};
    for (const Row& row : rows) {
        try {
            (void)ByteFileReader(dir / row.name);
            ADD_FAILURE() << row.name << " opened";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.Number(), row.number) << row.name;
        }
    }
}

}  // namespace
