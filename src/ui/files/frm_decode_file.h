#pragma once

#include "cipher/file_container.h"
#include "jobs/beside_queue.h"
#include "jobs/file_job.h"
#include "ui/chooser/frm_drive.h"
#include "ui/files/file_run.h"
#include "ui/files/job_thread.h"

#include <QString>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
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
//
// Jobs run on a thread of their own while the window shows their progress;
// Cancel stops a running job, and the boxes that name files wait for its end.
// Unloading the window asks the job to stop and lets it go.
class frmDecodeFile : public QWidget {
    Q_OBJECT

public:
    // Gives the main window's key box text as typed; read at every command.
    using KeySource = std::function<QString()>;

    explicit frmDecodeFile(KeySource key_source, QWidget* parent = nullptr);
    ~frmDecodeFile() override;
    Q_DISABLE_COPY_MOVE(frmDecodeFile)

    // Appends one line to the status list (UTF-8), any name in it shown as
    // DisplayText shows it.
    void StatusAdd(const std::string& sText);

    // Each runs one job to its end on the calling thread, logging it in the
    // status list, and returns "" on success or the job's error text. Decode
    // and Encode run the same jobs in a run of their own, beside the window.
    [[nodiscard]] std::string DoDecryptFile(const std::string& SourceFile, const std::string& DestFile,
                                            const std::string& skey);
    [[nodiscard]] std::string DoEncryptFile(const std::string& SourceFile, const std::string& DestFile,
                                            const std::string& skey);

    // Files dropped on the window or opened with the program, as the bytes of
    // their names. One file fills both boxes as Browse does; several are
    // queued, each with a line "Queued: PATH", for Decode with an empty
    // encrypted-file box. So is one file that a box could not give back as
    // it is (a name that is not valid UTF-8). While a job runs, every file is
    // queued: the boxes belong to the job.
    void OpenFiles(const std::vector<std::string>& files);

    // Asks a running job to stop, without waiting for it: a write to a file
    // system that has stalled may hold it for as long as the file system
    // does. What the job had not yet logged is dropped, and no box is shown
    // for it. `stopped` runs on the window's thread once it has ended, at
    // once when none runs.
    void StopJob(std::function<void()> stopped);

public Q_SLOTS:
    void cmdCancel_Click();
    void cmdDecode_Click();
    void cmdEBrowse_Click();
    void cmdEncode_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kProgressSteps = FileRun::kProgressSteps;

    void CreateControls();
    void ClearControls();
    void RefuseToProceed(const QString& prompt);
    [[nodiscard]] static std::string TrimmedPath(const QLineEdit& box);
    [[nodiscard]] std::string TrimmedKey() const;

    // Decodes the queued files, each beside itself, and empties the queue.
    void RunQueue();
    // Runs `boxed` and then `queue` beside the window, which shows the run's
    // progress until it has ended and its boxes have been shown.
    void StartRun(std::optional<FileRun::BoxedJob> boxed, std::vector<std::string> queue, const std::string& key);
    // The bar of a job run on the window's own thread.
    [[nodiscard]] m_Encryption::Progress BarProgress();
    void ShowJobRunning(std::size_t files);
    void ShowJobEnded();
    void ShowOutcome(const FileRun& run);
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
    // Only while a job runs: its bytes done and, for several files, which one.
    QProgressBar* prgJob_ = nullptr;
    QLabel* lblJobFile_ = nullptr;

    // Files waiting for Decode, in the order they came; unloading drops them.
    std::vector<std::string> queue_;
    JobThread job_;
};

}  // namespace ui
