#include "ui/chooser/form_events.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace ui {

char16_t KeyAsciiOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0;
        default:
            break;
    }
    const QString text = event.text();
    return text.size() == 1 ? text.front().unicode() : char16_t{0};
}

FormEvents::FormEvents(QWidget& form) : QObject(&form), form_(form) {
    form_.installEventFilter(this);
}

void FormEvents::OnKeyPress(QWidget& control, KeyPressHandler handler) {
    control_key_press_.emplace(&control, std::move(handler));
    control.installEventFilter(this);
}

void FormEvents::OnFormKeyPress(KeyPressHandler handler) {
    form_key_press_ = std::move(handler);
}

void FormEvents::OnClose(std::function<void()> handler) {
    close_ = std::move(handler);
}

bool FormEvents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto& key_event = static_cast<QKeyEvent&>(*event);
        if (watched == &form_) {
            return FormKeyPress(key_event);
        }
        if (const auto handler = control_key_press_.constFind(watched); handler != control_key_press_.cend()) {
            return RunKeyPress(*handler, key_event);
        }
    } else if (event->type() == QEvent::Close && watched == &form_ && close_) {
        // The dialog's own closing (accept, reject, done) never gets here: Qt keeps that event to itself.
        close_();
    }
    return false;
}

bool FormEvents::FormKeyPress(QKeyEvent& event) {
    // The form sees keys its controls let pass as well; only those typed while no
    // control has the keyboard are the form's own.
    const QWidget* focus = form_.focusWidget();
    const bool form_has_keyboard = focus == nullptr || focus == &form_;
    if (form_has_keyboard && form_key_press_ && RunKeyPress(form_key_press_, event)) {
        return true;
    }
    return event.key() == Qt::Key_Escape;
}

bool FormEvents::RunKeyPress(const KeyPressHandler& handler, const QKeyEvent& event) {
    char16_t KeyAscii = KeyAsciiOf(event);
    if (KeyAscii == 0) {
        return false;
    }
    handler(KeyAscii);
    return KeyAscii == 0;
}

}  // namespace ui
