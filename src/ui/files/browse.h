#pragma once

#include "util/path_helpers.h"

#include <QString>

#include <optional>
#include <string>

// What Browse needs apart from the windows: where the chooser opens, and the
// destination it proposes for the chosen file.
namespace ui {

// The current user's desktop folder, with native separators. Nothing when the
// platform names none or the folder named does not exist.
[[nodiscard]] std::optional<QString> DesktopFolder();

// The decrypted file proposed for the name the chooser returned: beside it,
// under its clear name when its base name starts with "e~", else with
// "DECODED" in front.
//
// An existing file is taken apart by its real last separator, so that any
// extension, or none, gives a path beside it ("e~notes.html" gives
// "notes.html"). Any other name (a folder, or what the user typed) is taken
// apart by the path helpers, which read a name as a file only when it has a
// three-character extension; the empty name gives the separator and "DECODED".
[[nodiscard]] std::string ProposedDestination(const std::string& chosen, char cSep = m_Decoder::kNativeSeparator);

}  // namespace ui
