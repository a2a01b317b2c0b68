#pragma once

namespace ui {

// Screen readers hear the drive list by its accessible name, on every
// platform. Qt's own interface for a drop-down reports the chosen item as
// its name on Linux and macOS, so a reader would announce "/" and never
// "Drives"; this registers an interface factory for the drive list that
// keeps the chosen item as its value and its accessible name as its name.
// Registering it again changes nothing.
void InstallDriveListAccessibility();

}  // namespace ui
