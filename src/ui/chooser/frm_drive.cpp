#include "ui/chooser/frm_drive.h"

#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/chooser/form_events.h"
#include "ui/chooser/frm_drive_window.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

frmDrive::frmDrive(QWidget* owner) : owner_(owner) {}
frmDrive::~frmDrive() = default;

// The pattern and the ignored folder are named apart from the fields sFileName
// and sFolderName, which the chooser fills.
void frmDrive::ExGetFile(const QString& sFormTitle, const QString& sFrameTitle, const QString& sPattern,
                         const QString& /*sFolderName*/) {
    Load();
    form_->frmDrive.setWindowTitle(sFormTitle);
    form_->fraDrive->setTitle(sFrameTitle);
    form_->txtFileType->setText(sPattern);
    form_->filDrive->SetPattern(sPattern);
    bCanceled = false;
    bMatch = false;
    // Modal to the whole program, not only to its owner.
    form_->frmDrive.exec();
    form_.reset();
}

void frmDrive::KeyDrive(char16_t& KeyAscii) {
    if (KeyAscii == 27) {
        cmdCancel_Click();
    }
}

void frmDrive::UpdateForm() {
    if (!form_) {
        return;
    }
    // The file list follows the folder list; the folder it already shows keeps its selection.
    static_cast<void>(form_->filDrive->SetPath(form_->dirDrive->Path()));
    sFolderName = form_->dirDrive->Path();
    sFileName = form_->filDrive->Path();
    const QString selected = form_->filDrive->FileName();
    if (selected.isEmpty()) {
        bMatch = false;
    } else {
        QString path = sFileName.ToText();
        if (!path.endsWith(QDir::separator())) {
            path += QDir::separator();
        }
        sFileName = path + selected;
        bMatch = true;
    }
    form_->txtFilename->setText(sFileName.ToText());
}

void frmDrive::Load() {
    form_ = std::make_unique<FrmDriveWindow>(owner_);
    FrmDriveWindow& form = *form_;
    QObject::connect(form.drvDrive, &DriveListBox::Change, &form.frmDrive, [this] { drvDrive_Change(); });
    QObject::connect(form.dirDrive, &FolderListBox::Change, &form.frmDrive, [this] { dirDrive_Change(); });
    QObject::connect(form.dirDrive, &FolderListBox::Click, &form.frmDrive, [this] { dirDrive_Click(); });
    QObject::connect(form.filDrive, &FileListBox::Click, &form.frmDrive, [this] { filDrive_Click(); });
    QObject::connect(form.txtFilename, &QLineEdit::textChanged, &form.frmDrive, [this] { txtFilename_Change(); });
    QObject::connect(form.cmdOk, &QPushButton::clicked, &form.frmDrive, [this] { cmdOk_Click(); });
    QObject::connect(form.cmdCancel, &QPushButton::clicked, &form.frmDrive, [this] { cmdCancel_Click(); });

    auto* events = new FormEvents(form.frmDrive);
    events->OnFormKeyPress([this](char16_t& KeyAscii) { Form_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.drvDrive, [this](char16_t& KeyAscii) { drvDrive_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.dirDrive, [this](char16_t& KeyAscii) { dirDrive_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.filDrive, [this](char16_t& KeyAscii) { filDrive_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.txtFilename, [this](char16_t& KeyAscii) { txtFilename_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.txtFileType, [this](char16_t& KeyAscii) { txtFileType_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.cmdOk, [this](char16_t& KeyAscii) { cmdOk_KeyPress(KeyAscii); });
    events->OnKeyPress(*form.cmdCancel, [this](char16_t& KeyAscii) { cmdCancel_KeyPress(KeyAscii); });
    events->OnClose([this] { Form_Close(); });

    Form_Load();
}

void frmDrive::Unload(int result) {
    // Ends ExGetFile's modal loop; ExGetFile then destroys the window.
    form_->frmDrive.done(result);
}

void frmDrive::Form_Load() {
    // A start folder that cannot be reached leaves the lists in the current folder, silently.
    if (sFolderName.ToText().size() > 0) {
        static_cast<void>(form_->dirDrive->SetPath(sFolderName.ToText()));
    }
    // A folder on no drive the list offers leaves the drive list as it is.
    static_cast<void>(form_->drvDrive->SetDrive(form_->dirDrive->Path()));
    UpdateForm();
}

void frmDrive::Form_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

// Closing the window from outside counts as Cancel: a dismissed chooser must
// not hand its caller a path.
void frmDrive::Form_Close() {
    cmdCancel_Click();
}

void frmDrive::drvDrive_Change() {
    // A drive that cannot be read (no medium, a lost network share) is refused:
    // the lists stay where they were, and so does the drive list.
    if (!form_->dirDrive->SetPath(form_->drvDrive->Drive())) {
        static_cast<void>(form_->drvDrive->SetDrive(form_->dirDrive->Path()));
    }
}

void frmDrive::drvDrive_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::dirDrive_Change() {
    form_->filDrive->Refresh();
    UpdateForm();
}

void frmDrive::dirDrive_Click() {
    form_->filDrive->Refresh();
    UpdateForm();
}

void frmDrive::dirDrive_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::filDrive_Click() {
    UpdateForm();
}

void frmDrive::filDrive_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::txtFilename_Change() {
    sFileName = form_->txtFilename->text();
}

void frmDrive::txtFilename_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::txtFileType_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::cmdOk_Click() {
    Unload(QDialog::Accepted);
}

void frmDrive::cmdOk_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

void frmDrive::cmdCancel_Click() {
    bCanceled = true;
    Unload(QDialog::Rejected);
}

void frmDrive::cmdCancel_KeyPress(char16_t& KeyAscii) {
    KeyDrive(KeyAscii);
}

}  // namespace ui
