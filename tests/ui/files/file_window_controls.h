#pragma once

#include <QListWidget>
#include <QStringList>
#include <QWidget>

// The attachment window's controls, found by their names, for tests that
// hold the window, or find it, as a user would.
namespace testsupport {

// The control `name` of `window`; a missing one ends the test run, naming it.
template <typename Control>
Control* ControlOf(const QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QLatin1String(name));
    if (control == nullptr) {
        qFatal("no control %s", name);
    }
    return control;
}

// The lines of the window's status list, oldest first.
inline QStringList StatusLinesOf(const QWidget& window) {
    const auto* list = ControlOf<QListWidget>(window, "lstStatus");
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines.append(list->item(i)->text());
    }
    return lines;
}

}  // namespace testsupport
