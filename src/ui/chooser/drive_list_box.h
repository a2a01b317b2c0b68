#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace ui {

// The drive list: a drop-down of the file-system roots (see BrowsableRoots).
// Change fires when the user chooses another drive; setting the drive from
// code, which only follows where the folder list already is, fires nothing.
class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    // Offers the browsable roots, at the drive of the process's current folder.
    explicit DriveListBox(QWidget* parent = nullptr);

    // The chosen root, in normal form.
    [[nodiscard]] const QString& Drive() const noexcept { return drive_; }

    // Chooses the root that holds `folder`. False, and no change, when no root offered holds it.
    [[nodiscard]] bool SetDrive(const QString& folder);

    // Offers `roots` instead, keeping the drive chosen when it is still among them.
    void SetDrives(const QStringList& roots);

Q_SIGNALS:
    void Change();

private:
    QString drive_;
};

}  // namespace ui
