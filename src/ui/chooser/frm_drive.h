#pragma once

#include "ui/chooser/variant.h"

#include <QString>

#include <memory>

class QWidget;

namespace ui {

class FrmDriveWindow;

// The program's own modal file chooser, built from a drive, a folder and a file
// list with a name box. The caller sets the start folder, calls ExGetFile and
// reads the result from the public fields, which keep their values from one
// showing to the next. The window itself exists only while it is shown.
class frmDrive {
public:
    // The chooser opens as a dialog of `owner` (desktops keep it above that
    // window and attach it there), which must outlive this object.
    explicit frmDrive(QWidget* owner = nullptr);
    ~frmDrive();
    frmDrive(const frmDrive&) = delete;
    frmDrive& operator=(const frmDrive&) = delete;

    // True when the user left through Cancel, Escape or the close box.
    bool bCanceled = false;
    // True when a file was selected in the file list at the last synchronisation.
    Variant bMatch;
    // The chosen path: the folder, the folder and the selected file, or what the user typed.
    Variant sFileName;
    // On entry the folder to open at; afterwards the folder the folder list shows.
    Variant sFolderName;

    // Shows the chooser modally and returns once it has closed. `sFileName` is
    // the file pattern (such as "*.*"). The start folder is the field
    // sFolderName; the last argument is accepted for the callers' sake and
    // has no effect.
    void ExGetFile(const QString& sFormTitle, const QString& sFrameTitle, const QString& sFileName,
                   const QString& sFolderName);
    // Escape (27) cancels the dialog; every other key is left alone.
    void KeyDrive(char16_t& KeyAscii);
    // Brings the file list, the result fields and the name box in step with the
    // folder list and the file list's selection. Does nothing while the window
    // is not loaded.
    void UpdateForm();

private:
    void Load();
    void Unload(int result);

    void Form_Load();
    void Form_KeyPress(char16_t& KeyAscii);
    void Form_Close();
    void drvDrive_Change();
    void drvDrive_KeyPress(char16_t& KeyAscii);
    void dirDrive_Change();
    void dirDrive_Click();
    void dirDrive_KeyPress(char16_t& KeyAscii);
    void filDrive_Click();
    void filDrive_KeyPress(char16_t& KeyAscii);
    void txtFilename_Change();
    void txtFilename_KeyPress(char16_t& KeyAscii);
    void txtFileType_KeyPress(char16_t& KeyAscii);
    void cmdOk_Click();
    void cmdOk_KeyPress(char16_t& KeyAscii);
    void cmdCancel_Click();
    void cmdCancel_KeyPress(char16_t& KeyAscii);

    QWidget* owner_ = nullptr;
    std::unique_ptr<FrmDriveWindow> form_;
};

}  // namespace ui
