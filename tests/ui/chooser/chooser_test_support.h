#pragma once

#include <QString>
#include <QWidget>

class QListWidget;

namespace testsupport {

// The control named `name` on `parent`. There being none ends the run: every
// later step of the test would fail for that one reason.
template <typename Control>
Control& FindControl(const QWidget& parent, const char* name) {
    auto* control = parent.findChild<Control*>(QLatin1String(name));
    if (control == nullptr) {
        qFatal("no control %s", name);
    }
    return *control;
}

// A path as the chooser shows it.
[[nodiscard]] QString Shown(const QString& path);

// Clicks and double-clicks an entry of a list box, found by its text, the way
// a user would: on the entry, scrolled into view first. False when the list
// holds no such entry.
[[nodiscard]] bool ClickEntry(QListWidget& list, const QString& text);
[[nodiscard]] bool DoubleClickEntry(QListWidget& list, const QString& text);

}  // namespace testsupport
