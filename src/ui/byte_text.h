#pragma once

#include <QString>

#include <string>

// Where text from the widgets becomes byte strings and back: through the
// single-byte code page, one character for each code.
namespace ui {

[[nodiscard]] std::string BytesFromText(const QString& text);
[[nodiscard]] QString TextFromBytes(const std::string& bytes);

}  // namespace ui
