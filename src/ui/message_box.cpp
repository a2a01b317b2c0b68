#include "ui/message_box.h"

#include <QMessageBox>
#include <QTimer>

#include <utility>

namespace ui {
namespace {

// The test seam: the observer that sees each box once it is showing.
ScopedMessageBoxObserver::Observer& CurrentObserver() {
    static ScopedMessageBoxObserver::Observer observer;
    return observer;
}

}  // namespace

void MsgBox(QWidget* owner, const QString& title, const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, owner);
    if (const auto& observer = CurrentObserver()) {
        // Runs inside exec()'s event loop, with the box on screen.
        QTimer::singleShot(0, &box, [&box, observer] { observer(box); });
    }
    box.exec();
}

ScopedMessageBoxObserver::ScopedMessageBoxObserver(Observer observer)
    : previous_(std::exchange(CurrentObserver(), std::move(observer))) {}

ScopedMessageBoxObserver::~ScopedMessageBoxObserver() {
    CurrentObserver() = std::move(previous_);
}

}  // namespace ui
