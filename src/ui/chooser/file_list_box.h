#pragma once

#include "ui/chooser/click_list_box.h"

#include <QString>
#include <QStringList>

namespace ui {

// The file list: the files of one folder that match the pattern, in name
// order, without folders and hidden files. At most one file is selected, and
// a click or an arrow key that selects one fires Click.
class FileListBox : public ClickListBox {
    Q_OBJECT

public:
    // Shows the process's current folder with the pattern "*.*".
    explicit FileListBox(QWidget* parent = nullptr);

    // The folder shown, in normal form (see NormalFolder).
    [[nodiscard]] const QString& Path() const noexcept { return path_; }

    // Shows `folder`. The folder already shown keeps its selection; another
    // starts without one. A folder that cannot be read is refused: false, and
    // the list stays as it was.
    [[nodiscard]] bool SetPath(const QString& folder);

    [[nodiscard]] const QString& Pattern() const noexcept { return pattern_; }
    // Re-reads the folder with the new pattern, keeping the selection if that file still matches.
    void SetPattern(const QString& pattern);

    // The selected file's name, without its folder; empty when none is selected.
    [[nodiscard]] QString FileName() const;

    // Re-reads the folder. The selection stays if that file is still there.
    void Refresh();

private:
    void Fill(const QStringList& names, const QString& selected);

    QString path_;
    QString pattern_ = QStringLiteral("*.*");
};

}  // namespace ui
