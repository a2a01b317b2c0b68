#pragma once

#include <cstddef>
#include <string>

// Keys and clear texts that the single-byte code page cannot carry whole.
// Containers and texts that clients already have were made with every such
// character turned into "?", so that very different keys open the same one. Whatever makes a new container or
// a new protected text refuses them; reading old ones goes on, since old
// files may depend on the "?".
namespace m_Decoder {

// Refuses a key for a new container or text. It never repeats the key.
inline constexpr const char* kKeyCannotBeUsed =
    "The key holds characters that cannot be used: use letters, digits and signs of Western European keyboards.";

// Refuses a clear text; `position` counts characters from 1.
[[nodiscard]] std::string TextCannotBeProtected(std::size_t position);

}  // namespace m_Decoder
