#pragma once

#include <functional>

class QDialog;

namespace testsupport {

// Calls `open`, which shows a modal dialog and returns when it has closed, and
// runs `act` on that dialog once it is on screen. Returns true when `act` ran
// and left the dialog closed. A dialog that never shows up, or that `act`
// leaves open, is given up on within a few seconds (and rejected), so that a
// test can never hang on it.
[[nodiscard]] bool WithModalDialog(const std::function<void()>& open, const std::function<void(QDialog&)>& act);

}  // namespace testsupport
