#include "ui/chooser/drive_list_box.h"

#include "ui/chooser/drive_list_accessible.h"
#include "ui/chooser/drive_roots.h"
#include "ui/chooser/folder_reading.h"

#include <QDir>
#include <QStyle>

namespace ui {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    InstallDriveListAccessibility();
    SetDrives(BrowsableRoots());
    static_cast<void>(SetDrive(QDir::currentPath()));
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString chosen = itemData(index).toString();
        if (chosen != drive_) {
            drive_ = chosen;
            Q_EMIT Change();
        }
    });
}

bool DriveListBox::SetDrive(const QString& folder) {
    QStringList roots;
    for (int index = 0; index < count(); ++index) {
        roots.append(itemData(index).toString());
    }
    const QString root = RootHolding(folder, roots);
    if (root.isEmpty()) {
        return false;
    }
    setCurrentIndex(findData(root));
    drive_ = root;
    return true;
}

void DriveListBox::SetDrives(const QStringList& roots) {
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString& root : roots) {
        const QString normal = NormalFolder(root);
        addItem(icon, normal, normal);
    }
    const int kept = findData(drive_);
    setCurrentIndex(kept >= 0 ? kept : 0);
    drive_ = currentData().toString();
}

}  // namespace ui
