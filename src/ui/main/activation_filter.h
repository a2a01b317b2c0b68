#pragma once

#include <QObject>

class QWidget;
class QWindow;

namespace ui {

// Tells when a window becomes active again after another window of the
// program was the active one, as when the user comes back from the
// attachment window or the file chooser.
//
// Qt reports every change of the active window; this keeps the last active
// window of the program and lets through only those returns. It ignores the
// times when none of the program's windows is active (the user is in another
// application), popups and tool tips, and the watched window's own message
// boxes and dialogs, which count as the window itself.
class ActivationFilter : public QObject {
    Q_OBJECT

public:
    // Watches `window`, whose child it becomes.
    explicit ActivationFilter(QWidget& window);

Q_SIGNALS:
    void ReturnedFromOtherWindow();

private:
    void OnFocusWindowChanged(QWindow* focus);

    QWidget& window_;
    bool last_was_other_window_ = false;
};

}  // namespace ui
