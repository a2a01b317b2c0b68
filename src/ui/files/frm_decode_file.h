#pragma once

#include "cipher/file_container.h"
#include "ui/chooser/frm_drive.h"

#include <QString>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace ui {

class StatusList;

// The attachment window: the user names an encrypted file and the file to
// create, and Decode runs the job and logs it. A hidden Encode does the
// reverse. Files dropped on it, or opened with the program, fill its boxes
// or wait in a queue. The window keeps nothing of its own beyond its
// controls and that queue, and unloading it (Cancel, the close box, a
// missing key) empties them, so that every showing after an unload starts
// afresh.
class frmDecodeFile : public QWidget {
    Q_OBJECT

public:
    // Gives the main window's key box text as typed; read at every command.
    using KeySource = std::function<QString()>;

    explicit frmDecodeFile(KeySource key_source, QWidget* parent = nullptr);

    // Appends one line to the status list (UTF-8), any name in it shown as
    // DisplayText shows it.
    void StatusAdd(const std::string& sText);

    // Each runs one job to its end, logging it in the status list, and returns
    // "" on success or the job's error text.
    [[nodiscard]] std::string DoDecryptFile(const std::string& SourceFile, const std::string& DestFile,
                                            const std::string& skey);
    [[nodiscard]] std::string DoEncryptFile(const std::string& SourceFile, const std::string& DestFile,
                                            const std::string& skey);

    // Files dropped on the window or opened with the program, as the bytes of
    // their names. One file fills both boxes as Browse does; several are
    // queued, each with a line "Queued: PATH", for Decode with an empty
    // encrypted-file box. So is one file that a box could not give back as
    // it is (a name that is not valid UTF-8).
    void OpenFiles(const std::vector<std::string>& files);

public Q_SLOTS:
    void cmdCancel_Click();
    void cmdDecode_Click();
    void cmdEBrowse_Click();
    void cmdEncode_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void ClearControls();
    void RefuseToProceed(const QString& prompt);
    [[nodiscard]] static std::string TrimmedPath(const QLineEdit& box);
    [[nodiscard]] std::string TrimmedKey() const;

    // Decodes the queued files, each beside itself, and empties the queue.
    void RunQueue();
    // The "Check the Key" box, after the one file of Decode came out looking
    // like noise.
    void WarnOfWrongKeyForFile();
    // The same box once for a whole queue, counting the `suspects` among the
    // `decoded` files.
    void WarnOfWrongKeyForQueue(std::size_t suspects, std::size_t decoded);

    KeySource key_source_;
    // The program's one file chooser. Browse is its only user, and unloading
    // this window only hides it, so the chooser's fields (the last folder
    // shown) outlive every showing of both windows. It opens as a dialog of
    // this window.
    frmDrive frmDrive_{this};
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdDecode_ = nullptr;
    QLineEdit* txtEFile_ = nullptr;
    QPushButton* cmdEBrowse_ = nullptr;
    QLineEdit* txtDFile_ = nullptr;
    StatusList* lstStatus_ = nullptr;
    QPushButton* cmdEncode_ = nullptr;

    // Files waiting for Decode, in the order they came; unloading drops them.
    std::vector<std::string> queue_;
    // The first clear bytes of the running decrypt job, judged when it ends.
    m_Encryption::ClearHead clear_head_;
};

}  // namespace ui
