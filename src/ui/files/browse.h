#pragma once

#include <QString>

#include <optional>

// What Browse needs apart from the windows: where the chooser opens. The
// destination it proposes for the chosen file is m_Decoder::ProposedDestination.
namespace ui {

// The current user's desktop folder, with native separators. Nothing when the
// platform names none or the folder named does not exist.
[[nodiscard]] std::optional<QString> DesktopFolder();

}  // namespace ui
