#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Keys and clear texts that the single-byte code page cannot carry whole.
// Containers and texts that clients already have were made with every such
// character turned into "?", so that very different keys open the same one. Whatever makes a new container or
// a new protected text refuses them; reading old ones goes on, since old
// files may depend on the "?".
namespace m_Decoder {

// What a command asks of the key: to open what exists, or to make something new.
enum class KeyUse { kRead, kMake };

// How a key fares for a use. kWeakened: it opens old containers and texts, each
// character outside the code page read as "?", and the front end may warn.
enum class KeyFit { kWhole, kWeakened, kRefused };

// A key outside the code page makes nothing new; it still reads. The key is
// given as typed, or as UTF-8.
[[nodiscard]] KeyFit FitOfKey(std::u32string_view key, KeyUse use) noexcept;
[[nodiscard]] KeyFit FitOfKeyUtf8(std::string_view key, KeyUse use) noexcept;

// Refuses a key for a new container or text. It never repeats the key.
inline constexpr const char* kKeyCannotBeUsed =
    "The key holds characters that cannot be used: use letters, digits and signs of Western European keyboards.";

// Refuses a clear text; `position` counts characters from 1.
[[nodiscard]] std::string TextCannotBeProtected(std::size_t position);

}  // namespace m_Decoder
