#include "ui/twips_layout.h"

#include "ui/twips.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace ui {

TwipsLayout::TwipsLayout(QWidget& parent, int width, int height)
    : QLayout(&parent), form_pixels_(FromTwips(width, height)) {
    // The form's positions are measured from the client area's own corner.
    setContentsMargins(0, 0, 0, 0);
}

TwipsLayout::~TwipsLayout() = default;

void TwipsLayout::Place(QWidget& control, const QRect& twips, Growth growth) {
    addChildWidget(&control);
    const QRect pixels = FromTwips(twips.left(), twips.top(), twips.width(), twips.height());
    control.setGeometry(pixels);
    entries_.push_back(Entry{std::make_unique<QWidgetItem>(&control), pixels, growth});
    invalidate();
}

void TwipsLayout::addItem(QLayoutItem* item) {
    const QRect where = item->widget() != nullptr ? item->widget()->geometry() : item->geometry();
    entries_.push_back(Entry{std::unique_ptr<QLayoutItem>(item), where, Growth::kNone});
    invalidate();
}

QLayoutItem* TwipsLayout::itemAt(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return entries_[static_cast<std::size_t>(index)].item.get();
}

QLayoutItem* TwipsLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    const auto entry = entries_.begin() + index;
    QLayoutItem* item = entry->item.release();
    entries_.erase(entry);
    invalidate();
    return item;
}

int TwipsLayout::count() const {
    return static_cast<int>(entries_.size());
}

QSize TwipsLayout::sizeHint() const {
    return form_pixels_;
}

QSize TwipsLayout::minimumSize() const {
    return form_pixels_;
}

void TwipsLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    // A window held below its form (before its minimum applies) crops the
    // controls rather than squeezing them.
    const QSize extra(std::max(0, rect.width() - form_pixels_.width()),
                      std::max(0, rect.height() - form_pixels_.height()));
    for (const Entry& entry : entries_) {
        const QRect grown = Grown(entry, extra).translated(rect.topLeft());
        // Straight to the control: its own size hints and limits take no part.
        if (QWidget* control = entry.item->widget()) {
            control->setGeometry(grown);
        } else {
            entry.item->setGeometry(grown);
        }
    }
}

QRect TwipsLayout::Grown(const Entry& entry, const QSize& extra) {
    QRect grown = entry.form_pixels;
    switch (entry.growth) {
        case Growth::kNone:
            break;
        case Growth::kWidth:
            grown.setWidth(grown.width() + extra.width());
            break;
        case Growth::kWidthAndHeight:
            grown.setSize(grown.size() + extra);
            break;
        case Growth::kFollowRightEdge:
            grown.translate(extra.width(), 0);
            break;
    }
    return grown;
}

}  // namespace ui
