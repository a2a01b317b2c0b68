#include "ui/files/status_list.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>

namespace ui {

StatusList::StatusList(QWidget* parent) : QListWidget(parent) {
    // The list reads as part of the window rather than as a field to fill in.
    viewport()->setBackgroundRole(QPalette::Button);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    // Long paths are shortened in the middle, where they say least, and shown
    // whole in the line's tool tip; a horizontal bar would cost a line.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    hide();
}

void StatusList::AddLine(const QString& text) {
    if (isHidden()) {
        show();
    }
    auto* item = new QListWidgetItem(text, this);
    item->setSizeHint(QSize(0, row_height_));
    if (!text.isEmpty()) {
        item->setToolTip(text);
    }
    if (count() > kLinesInView) {
        scrollToItem(this->item(count() - kLinesInView), QAbstractItemView::PositionAtTop);
    }
}

void StatusList::Reset() {
    clear();
    hide();
}

void StatusList::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    FitRowsToView();
}

void StatusList::FitRowsToView() {
    const int row_height = std::max(1, viewport()->height() / kLinesInView);
    if (row_height == row_height_) {
        return;
    }
    row_height_ = row_height;

    // Shrink the font only when a line of the window's own font would not fit.
    QFont fitting = parentWidget() != nullptr ? parentWidget()->font() : QApplication::font(this);
    int pixels = QFontInfo(fitting).pixelSize();
    while (pixels > 1 && QFontMetrics(fitting).height() > row_height_) {
        fitting.setPixelSize(--pixels);
    }
    if (fitting != font()) {
        setFont(fitting);
    }

    for (int row = 0; row < count(); ++row) {
        item(row)->setSizeHint(QSize(0, row_height_));
    }
}

}  // namespace ui
