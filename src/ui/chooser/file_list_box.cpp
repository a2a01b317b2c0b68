#include "ui/chooser/file_list_box.h"

#include "ui/chooser/folder_reading.h"

#include <QDir>

namespace ui {

FileListBox::FileListBox(QWidget* parent) : ClickListBox(parent) {
    if (!SetPath(QDir::currentPath())) {
        path_ = NormalFolder(QDir::currentPath());
    }
}

bool FileListBox::SetPath(const QString& folder) {
    const QString normal = NormalFolder(folder);
    if (!path_.isEmpty() && normal.compare(path_, kFileNameCase) == 0) {
        return true;
    }
    const std::optional<QStringList> names = ReadFiles(normal, FilePattern(pattern_));
    if (!names) {
        return false;
    }
    path_ = normal;
    Fill(*names, QString());
    return true;
}

void FileListBox::SetPattern(const QString& pattern) {
    pattern_ = pattern;
    Refresh();
}

QString FileListBox::FileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileListBox::Refresh() {
    // A folder that can no longer be read (removed, or its medium taken out) shows no files.
    Fill(ReadFiles(path_, FilePattern(pattern_)).value_or(QStringList()), FileName());
}

void FileListBox::Fill(const QStringList& names, const QString& selected) {
    clear();
    addItems(names);
    const QList<QListWidgetItem*> matches = findItems(selected, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (!selected.isEmpty() && !matches.isEmpty()) {
        setCurrentItem(matches.first());
        scrollToItem(matches.first());
    }
}

}  // namespace ui
