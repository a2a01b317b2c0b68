#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class DriveListBox;
class FileListBox;
class FolderListBox;

// The chooser's window with its controls, placed as the form was drawn, with
// its first captions and its tab order. The form object builds a fresh one
// each time it loads the window and destroys it when it unloads it; the
// controls are children of `frmDrive` and go with it. The window is a
// dialog of `owner`, which must outlive it (nullptr: of no window).
class FrmDriveWindow {
public:
    explicit FrmDriveWindow(QWidget* owner);
    ~FrmDriveWindow() = default;
    FrmDriveWindow(const FrmDriveWindow&) = delete;
    FrmDriveWindow& operator=(const FrmDriveWindow&) = delete;

    QDialog frmDrive;
    QGroupBox* fraDrive = nullptr;
    DriveListBox* drvDrive = nullptr;
    FolderListBox* dirDrive = nullptr;
    FileListBox* filDrive = nullptr;
    QLabel* lblFile = nullptr;
    QLineEdit* txtFilename = nullptr;
    QLabel* lblFiletype = nullptr;
    QLineEdit* txtFileType = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace ui
