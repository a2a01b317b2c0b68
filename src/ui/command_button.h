#pragma once

#include <QPushButton>

namespace ui {

// A button that Enter presses while it has the focus, as Space does, without
// ever becoming its window's default: Enter in any other control presses
// nothing. Dialogs make a focused auto-default button their default, so this
// one is never auto-default and handles Enter itself.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ui
