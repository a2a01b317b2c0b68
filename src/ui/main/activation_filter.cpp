#include "ui/main/activation_filter.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace ui {
namespace {

// The program's top-level widget shown in `window`; none for a window that
// is not one of our widgets.
QWidget* WidgetOf(const QWindow* window) {
    if (window == nullptr) {
        return nullptr;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

// A menu, drop-down or tool tip is part of the window that opened it, not a window the user switches to.
bool IsPopup(const QWidget& widget) {
    const Qt::WindowType type = widget.windowType();
    return type == Qt::Popup || type == Qt::ToolTip;
}

bool IsOwnedBy(const QWidget& widget, const QWidget& owner) {
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        if (w == &owner) {
            return true;
        }
    }
    return false;
}

}  // namespace

ActivationFilter::ActivationFilter(QWidget& window) : QObject(&window), window_(window) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationFilter::OnFocusWindowChanged);
}

void ActivationFilter::OnFocusWindowChanged(QWindow* focus) {
    const QWidget* active = WidgetOf(focus);
    if (active == nullptr || IsPopup(*active)) {
        return;
    }
    if (!IsOwnedBy(*active, window_)) {
        last_was_other_window_ = true;
        return;
    }
    if (active == &window_ && last_was_other_window_) {
        last_was_other_window_ = false;
        Q_EMIT ReturnedFromOtherWindow();
    }
}

}  // namespace ui
