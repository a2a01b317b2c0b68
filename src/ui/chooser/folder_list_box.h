#pragma once

#include "ui/chooser/click_list_box.h"

#include <QString>

namespace ui {

// The folder list: the current folder's path from the root down, one entry a
// level, then the current folder's subfolders, each indented by its depth.
// A click or an arrow key selects an entry and fires Click; a double click or
// Enter opens the selected entry, which makes it the current folder and fires
// Change.
class FolderListBox : public ClickListBox {
    Q_OBJECT

public:
    // Starts in the process's current folder.
    explicit FolderListBox(QWidget* parent = nullptr);

    // The current folder, in normal form (see NormalFolder).
    [[nodiscard]] const QString& Path() const noexcept { return path_; }

    // Makes `folder` the current folder and fires Change when that moved it.
    // A folder that cannot be read is refused: false, and the list stays as it was.
    [[nodiscard]] bool SetPath(const QString& folder);

    // The folder of the selected entry; empty when none is selected.
    [[nodiscard]] QString SelectedPath() const;

Q_SIGNALS:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Open(const QListWidgetItem* item);

    QString path_;
};

}  // namespace ui
