#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace ui {

// Where a window of `size` (its frame included) goes beside the window frame
// `anchor`: just right of it with the top edges level, moved back inside
// `available` (the screen less its panels) where it would stick out.
[[nodiscard]] QPoint BesideRight(const QRect& anchor, const QSize& size, const QRect& available);

// Moves `window` beside `anchor`, on the anchor's screen. A Wayland desktop
// places every window itself and lets no program do it: there this does nothing.
void PlaceBeside(QWidget& window, const QWidget& anchor);

}  // namespace ui
