#include "modal_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace testsupport {
namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kMaxPolls = 500;

}  // namespace

bool WithModalDialog(const std::function<void()>& open, const std::function<void(QDialog&)>& act) {
    bool acted = false;
    bool left_open = false;
    int polls = 0;
    QTimer timer;
    timer.setInterval(kPollMilliseconds);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++polls;
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            if (polls > kMaxPolls) {
                timer.stop();
            }
            return;
        }
        timer.stop();
        if (!QTest::qWaitForWindowActive(dialog)) {
            dialog->reject();
            return;
        }
        acted = true;
        act(*dialog);
        if (dialog != nullptr && dialog->isVisible()) {
            left_open = true;
            dialog->reject();
        }
    });
    timer.start();
    open();
    timer.stop();
    return acted && !left_open;
}

}  // namespace testsupport
