#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zqfuzz {

// Takes `size` bytes as a path (any bytes, malformed UTF-8 and NULs included)
// and runs the path helpers over it with each separator, checking what they
// promise whatever the text: the folder is a leading part of the path, the
// file a trailing component with a dot, the base name a dot-free leading part
// of the last component, TrimAtNull the text before the first NUL; none
// throws.
// Returns "" when every promise holds, else what was broken.
//
// Shared by the libFuzzer target and by the test that replays its seeds.
[[nodiscard]] std::string CutPath(const std::uint8_t* data, std::size_t size);

}  // namespace zqfuzz
