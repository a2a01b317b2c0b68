#pragma once

#include <QListWidget>

namespace ui {

// The attachment window's log of job steps: a plain list of lines that only
// grows while the window is loaded. It stays hidden until its first line and
// then always shows its newest lines, five at a time.
class StatusList : public QListWidget {
    Q_OBJECT

public:
    static constexpr int kLinesInView = 5;

    explicit StatusList(QWidget* parent = nullptr);

    // Appends `text` unchanged as the new last line: no time stamp, no
    // numbering. The first line reveals the list; once it holds more than
    // kLinesInView lines, the last kLinesInView are scrolled into view.
    void AddLine(const QString& text);

    // Back to the state of a freshly loaded window: hidden and empty.
    void Reset();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Rows are sized so that exactly kLinesInView fit the list, whatever the
    // user's font: with fewer, scrolling would hide the newest line.
    void FitRowsToView();

    int row_height_ = 0;
};

}  // namespace ui
