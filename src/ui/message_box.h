#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace ui {

// Every message box of the program goes through here: a title, a prompt, an
// OK button only and no icon. It returns when the user has closed the box.
void MsgBox(QWidget* owner, const QString& title, const QString& prompt);

// While one of these lives, each box that MsgBox shows is handed to the
// observer once it is on screen, so that a test can read it and answer it.
class ScopedMessageBoxObserver {
public:
    using Observer = std::function<void(QMessageBox& box)>;

    explicit ScopedMessageBoxObserver(Observer observer);
    ~ScopedMessageBoxObserver();
    ScopedMessageBoxObserver(const ScopedMessageBoxObserver&) = delete;
    ScopedMessageBoxObserver& operator=(const ScopedMessageBoxObserver&) = delete;

private:
    Observer previous_;
};

}  // namespace ui
