#pragma once

#include <functional>

namespace ui {

// How the program ends once its main window has unloaded.
enum class Ending {
    // The event loop returns, and everything is taken down in order.
    kOrderly,
    // The process ends where it stands. A job held by a file system that has
    // stalled stays held, and its unfinished file may stay too: removing it
    // would wait on the same file system.
    kAtOnce,
};

using EndProgram = std::function<void(Ending how)>;

// The program's own end: the event loop's quit, or _Exit with a failure status.
void EndTheProgram(Ending how);

}  // namespace ui
