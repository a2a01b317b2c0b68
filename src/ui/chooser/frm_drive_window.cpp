#include "ui/chooser/frm_drive_window.h"

#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ui {
namespace {

// The form was drawn in twips, 15 to a pixel at the usual 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

[[nodiscard]] constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
    return control;
}

// Neither button is the dialog's default, so Enter in a list or in the name
// box closes nothing; Enter on a button presses it, as Space does.
class CommandButton : public QPushButton {
public:
    CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) { setAutoDefault(false); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

}  // namespace

FrmDriveWindow::FrmDriveWindow() {
    frmDrive.setObjectName(QStringLiteral("frmDrive"));
    frmDrive.setWindowTitle(QStringLiteral("Files"));
    frmDrive.setFixedSize(Pixels(6300), Pixels(4875));

    fraDrive = Place(new QGroupBox(QStringLiteral("Access Files"), &frmDrive), "fraDrive", 120, 480, 6015, 4212);
    drvDrive = Place(new DriveListBox(fraDrive), "drvDrive", 240, 240, 5655, 315);
    dirDrive = Place(new FolderListBox(fraDrive), "dirDrive", 240, 600, 5655, 1380);
    filDrive = Place(new FileListBox(fraDrive), "filDrive", 240, 2160, 5655, 480);
    lblFile = Place(new QLabel(QStringLiteral("File : "), fraDrive), "lblFile", 240, 2880, 732, 252);
    txtFilename = Place(new QLineEdit(fraDrive), "txtFilename", 240, 3120, 5655, 285);
    lblFiletype = Place(new QLabel(QStringLiteral("File Type : "), fraDrive), "lblFiletype", 240, 3480, 852, 252);
    txtFileType = Place(new QLineEdit(fraDrive), "txtFileType", 240, 3720, 3015, 285);
    txtFileType->setEnabled(false);
    // The buttons belong to the form, over the bottom right of the frame.
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
