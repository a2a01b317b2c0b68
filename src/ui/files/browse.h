#pragma once

#include "jobs/decrypt_beside.h"

#include <QString>

#include <optional>
#include <string>

// What Browse needs apart from the windows: where the chooser opens, and the
// destination it proposes for the chosen file.
namespace ui {

// The current user's desktop folder, with native separators. Nothing when the
// platform names none or the folder named does not exist.
[[nodiscard]] std::optional<QString> DesktopFolder();

// The destination proposed for the chosen name, as the queue proposes it.
using m_Decoder::ProposedDestination;

}  // namespace ui
