#pragma once

#include <QApplication>

#include <memory>

namespace ui {

// What the program says, after Qt's own messages, when it cannot open a window.
inline constexpr const char* kNoDisplayMessage =
    "ZQDecoder: no window can be opened here: it needs an X11 or a Wayland desktop session, "
    "and a Wayland session needs the package qt6-wayland installed.";

// Makes the application object, which connects to the display. When no
// display can be reached (no desktop session, or a Wayland one without Qt's
// Wayland plugin), Qt stops the program with an abort; here it prints Qt's
// messages and kNoDisplayMessage on standard error and ends the program with
// status 1 instead, as a program that could not start rather than a crash.
// `argc` and `argv` must outlive the application object.
[[nodiscard]] std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv);

}  // namespace ui
