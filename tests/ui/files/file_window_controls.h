#pragma once

#include "ui/support/find_control.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QWidget>

// The attachment window's controls, found by their names, for tests that
// hold the window, or find it, as a user would.
namespace testsupport {

// The control `name` of `window`; a missing one fails the test, naming it.
template <typename Control>
Control* ControlOf(const QWidget& window, const char* name) {
    return &Find<Control>(window, name);
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

// Waits until the job that Decode or Encode started has ended and the boxes
// at its end have been answered: Decode can be pressed again then. At once
// when no job runs; false when the job did not end in time.
[[nodiscard]] inline bool WaitForJobEnd(const QWidget& window) {
    const auto* decode = ControlOf<QPushButton>(window, "cmdDecode");
    return QTest::qWaitFor([decode] { return decode->isEnabled(); }, 60000);
}

}  // namespace testsupport
