#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace ui {

// The code of the character a key types, as KeyPress handlers receive it:
// 27 for Escape, 13 for Enter, 8 for Backspace, the character's code for
// printable and control characters; 0 for keys that type nothing (arrows,
// function keys, Tab, which moves the focus).
[[nodiscard]] char16_t KeyAsciiOf(const QKeyEvent& event);

// Hands a form's key and close events to its handlers: KeyPress for the
// control that has the keyboard, KeyPress for the form itself when none of its
// controls has it, and Close when the window is closed from outside (its close
// box, the window menu). A handler that sets KeyAscii to 0 swallows the key.
//
// Escape belongs to the handlers: the dialog's own habit of rejecting itself
// on Escape is switched off, so that Escape means what they make of it.
class FormEvents : public QObject {
public:
    using KeyPressHandler = std::function<void(char16_t& KeyAscii)>;

    // Lives as a child of `form`.
    explicit FormEvents(QWidget& form);

    void OnKeyPress(QWidget& control, KeyPressHandler handler);
    void OnFormKeyPress(KeyPressHandler handler);
    void OnClose(std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool FormKeyPress(QKeyEvent& event);
    [[nodiscard]] static bool RunKeyPress(const KeyPressHandler& handler, const QKeyEvent& event);

    QWidget& form_;
    QHash<QObject*, KeyPressHandler> control_key_press_;
    KeyPressHandler form_key_press_;
    std::function<void()> close_;
};

}  // namespace ui
