#pragma once

#include <QString>

class QListWidget;

namespace testsupport {

// A path as the chooser shows it.
[[nodiscard]] QString Shown(const QString& path);

// Clicks and double-clicks an entry of a list box, found by its text, the way
// a user would: on the entry, scrolled into view first. False when the list
// holds no such entry.
[[nodiscard]] bool ClickEntry(QListWidget& list, const QString& text);
[[nodiscard]] bool DoubleClickEntry(QListWidget& list, const QString& text);

}  // namespace testsupport
