#pragma once

#include <QLayout>
#include <QRect>
#include <QSize>

#include <memory>
#include <vector>

namespace ui {

// Places a window's controls where its form drew them, in twips, and keeps
// the window at least as large as the form. A window made larger than its
// form hands the extra width and height to the controls that take them; at
// the form's size every control stands exactly where it was drawn.
class TwipsLayout : public QLayout {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TwipsLayout)

public:
    // What a control does with the room its window gains beyond the form.
    enum class Growth {
        kNone,             // keeps its place and size, from the top left
        kWidth,            // takes the extra width
        kWidthAndHeight,   // takes the extra width and height
        kFollowRightEdge,  // keeps its distance from the right edge
    };

    // Lays out `parent`, whose client area was drawn `width` by `height` twips.
    TwipsLayout(QWidget& parent, int width, int height);
    ~TwipsLayout() override;

    // Places `control` at `twips` (left, top, width, height) in the form.
    void Place(QWidget& control, const QRect& twips, Growth growth = Growth::kNone);

    // A control added the usual way stays where it stands when it is added.
    void addItem(QLayoutItem* item) override;
    [[nodiscard]] QLayoutItem* itemAt(int index) const override;
    [[nodiscard]] QLayoutItem* takeAt(int index) override;
    [[nodiscard]] int count() const override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        std::unique_ptr<QLayoutItem> item;
        QRect form_pixels;
        Growth growth = Growth::kNone;
    };

    [[nodiscard]] static QRect Grown(const Entry& entry, const QSize& extra);

    QSize form_pixels_;
    std::vector<Entry> entries_;
};

}  // namespace ui
