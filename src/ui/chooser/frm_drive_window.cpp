#include "ui/chooser/frm_drive_window.h"

#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/command_button.h"
#include "ui/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace ui {
namespace {

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(FromTwips(left, top, width, height));
    return control;
}

}  // namespace

FrmDriveWindow::FrmDriveWindow(QWidget* owner) : frmDrive(owner) {
    frmDrive.setObjectName(QStringLiteral("frmDrive"));
    frmDrive.setWindowTitle(QStringLiteral("Files"));
    frmDrive.setFixedSize(FromTwips(6300, 4875));

    fraDrive = Place(new QGroupBox(QStringLiteral("Access Files"), &frmDrive), "fraDrive", 120, 480, 6015, 4212);
    drvDrive = Place(new DriveListBox(fraDrive), "drvDrive", 240, 240, 5655, 315);
    dirDrive = Place(new FolderListBox(fraDrive), "dirDrive", 240, 600, 5655, 1380);
    filDrive = Place(new FileListBox(fraDrive), "filDrive", 240, 2160, 5655, 480);
    lblFile = Place(new QLabel(QStringLiteral("File : "), fraDrive), "lblFile", 240, 2880, 732, 252);
    txtFilename = Place(new QLineEdit(fraDrive), "txtFilename", 240, 3120, 5655, 285);
    lblFiletype = Place(new QLabel(QStringLiteral("File Type : "), fraDrive), "lblFiletype", 240, 3480, 852, 252);
    txtFileType = Place(new QLineEdit(fraDrive), "txtFileType", 240, 3720, 3015, 285);
    txtFileType->setEnabled(false);
    // Screen readers name the boxes after their labels, and the lists by
    // what they hold rather than after the frame around them.
    lblFile->setBuddy(txtFilename);
    lblFiletype->setBuddy(txtFileType);
    drvDrive->setAccessibleName(QStringLiteral("Drives"));
    dirDrive->setAccessibleName(QStringLiteral("Folders"));
    filDrive->setAccessibleName(QStringLiteral("Files"));
    // The buttons belong to the form, over the bottom right of the frame.
    // Neither is the dialog's default, so Enter in a list or in the name box
    // closes nothing; Enter on a button presses it.
    cmdOk = Place(new CommandButton(QStringLiteral("&OK"), &frmDrive), "cmdOk", 4920, 4080, 1095, 375);
    cmdCancel = Place(new CommandButton(QStringLiteral("&Cancel"), &frmDrive), "cmdCancel", 3600, 4080, 1095, 375);

    QWidget::setTabOrder(drvDrive, dirDrive);
    QWidget::setTabOrder(dirDrive, filDrive);
    QWidget::setTabOrder(filDrive, txtFilename);
    QWidget::setTabOrder(txtFilename, cmdOk);
    QWidget::setTabOrder(cmdOk, cmdCancel);
    drvDrive->setFocus();
}

}  // namespace ui
