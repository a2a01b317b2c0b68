#pragma once

#include <QListWidget>

namespace ui {

// A list box whose Click event fires as the classic list box's does: for every
// click on an entry, and for every key that moves the selection (arrows, Home,
// End, typing the start of a name). A click on the empty space below the
// entries leaves the selection alone, as it does there.
// Only the list with the focus tells a screen reader of its current entry:
// one refreshed while the user is in another list stays quiet.
class ClickListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ClickListBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

}  // namespace ui
