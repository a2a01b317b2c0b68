#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ui {

QPoint BesideRight(const QRect& anchor, const QSize& size, const QRect& available) {
    // The left and top edges win where the window is larger than the screen.
    const int x = std::max(std::min(anchor.right() + 1, available.right() + 1 - size.width()), available.left());
    const int y = std::max(std::min(anchor.top(), available.bottom() + 1 - size.height()), available.top());
    return {x, y};
}

void PlaceBeside(QWidget& window, const QWidget& anchor) {
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        return;
    }
    const QScreen* screen = anchor.screen();
    if (screen == nullptr) {
        return;
    }
    // A window not shown yet has no frame: it will get one like the anchor's.
    const QSize frame = anchor.frameGeometry().size() - anchor.size();
    window.move(BesideRight(anchor.frameGeometry(), window.size() + frame, screen->availableGeometry()));
}

}  // namespace ui
