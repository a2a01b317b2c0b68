#include "ui/chooser/click_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

ClickListBox::ClickListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListWidget::itemClicked, this, &ClickListBox::Click);
}

void ClickListBox::keyPressEvent(QKeyEvent* event) {
    const QListWidgetItem* before = currentItem();
    const QList<QListWidgetItem*> selected_before = selectedItems();
    QListWidget::keyPressEvent(event);
    if (currentItem() != before || selectedItems() != selected_before) {
        Q_EMIT Click();
    }
}

void ClickListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) {
        QListWidget::currentChanged(current, previous);
        return;
    }
    // The list view announces every new current entry as the focus, wherever
    // the focus is; past that announcement it does nothing but what the base
    // view does, so a list without the focus goes straight there.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): passing over QListView's announcement is the point.
    QAbstractItemView::currentChanged(current, previous);
}

void ClickListBox::mousePressEvent(QMouseEvent* event) {
    if (itemAt(event->position().toPoint()) == nullptr) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

}  // namespace ui
