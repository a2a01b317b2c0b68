#pragma once

#include "support/uncopyable.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes (write bits restored first, so that a test that
// made something read-only still cleans up).
class TempDir : Uncopyable {
public:
    TempDir();
    ~TempDir();

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
[[nodiscard]] std::string ReadFile(const std::filesystem::path& path);

}  // namespace testsupport
