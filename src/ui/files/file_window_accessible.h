#pragma once

namespace ui {

// Screen readers announce the attachment window as a window. It is a plain
// top-level widget, so that Escape does not close it as it would a dialog;
// such a widget reads as a filler, and Qt has no setter for its role. This
// registers the interface factory that gives it role Window; registering it
// again changes nothing.
void InstallFileWindowAccessibility();

}  // namespace ui
