#pragma once

#include <QString>

#include <string_view>

namespace ui {

// A line or a name from outside the program (a file name, a status line that
// quotes one, an error text) as the windows show it: control characters and
// bytes that are no part of valid UTF-8 appear as \xHH, so that a name can
// neither break a line in two nor turn into replacement marks. Everything
// else, and so every name of plain UTF-8, shows as it is.
[[nodiscard]] QString DisplayText(std::string_view bytes);

}  // namespace ui
