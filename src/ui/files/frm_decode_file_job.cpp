// The attachment window's jobs: the run it starts beside itself, what it
// shows while the run goes, and the boxes once it has ended; and the same
// jobs run on the window's own thread.
#include "jobs/wrong_key_check.h"
#include "ui/display_text.h"
#include "ui/files/file_run.h"
#include "ui/files/frm_decode_file.h"
#include "ui/message_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <memory>
#include <utility>

namespace ui {

// The same jobs a run does, on the calling thread: what they log, and the
// bar, show as they go.
std::string frmDecodeFile::DoDecryptFile(const std::string& SourceFile, const std::string& DestFile,
                                         const std::string& skey) {
    return m_Decoder::RunFileJob(
        m_Decoder::FileJob::kDecrypt, SourceFile, DestFile, skey,
        {.status = [this](const std::string& line) { StatusAdd(line); }, .progress = BarProgress()});
}

std::string frmDecodeFile::DoEncryptFile(const std::string& SourceFile, const std::string& DestFile,
                                         const std::string& skey) {
    return m_Decoder::RunFileJob(
        m_Decoder::FileJob::kEncrypt, SourceFile, DestFile, skey,
        {.status = [this](const std::string& line) { StatusAdd(line); }, .progress = BarProgress()});
}

m_Encryption::Progress frmDecodeFile::BarProgress() {
    return [this](std::uint64_t done, std::uint64_t total) { prgJob_->setValue(FileRun::StepsDone(done, total)); };
}

void frmDecodeFile::StopJob(std::function<void()> stopped) {
    // The bar and the file number were this job's; the boxes wait for its end.
    prgJob_->hide();
    lblJobFile_->hide();
    job_.LetGo([this, stopped = std::move(stopped)] {
        ShowJobEnded();
        stopped();
    });
}

void frmDecodeFile::StartRun(std::optional<FileRun::BoxedJob> boxed, std::vector<std::string> queue,
                             const std::string& key) {
    auto run = std::make_shared<FileRun>(FileRun::Inputs{std::move(boxed), std::move(queue), key}, job_.Inbox());
    ShowJobRunning(run->Files());
    connect(run.get(), &FileRun::StatusLine, this, &frmDecodeFile::StatusAdd);
    connect(run.get(), &FileRun::FileStarted, this, [this](std::size_t number, std::size_t files) {
        lblJobFile_->setText(QStringLiteral("File %1 of %2").arg(number).arg(files));
        prgJob_->setValue(0);
    });
    connect(run.get(), &FileRun::Progressed, prgJob_, &QProgressBar::setValue);
    job_.Start(std::move(run), [this](const FileRun& ended) {
        ShowJobEnded();
        // The typed file is done: the next Decode runs what was queued meanwhile.
        if (ended.RunInputs().boxed && ended.RunOutcome().error.empty()) {
            txtEFile_->clear();
            txtDFile_->clear();
        }
        ShowOutcome(ended);
    });
}

void frmDecodeFile::ShowOutcome(const FileRun& run) {
    const std::optional<FileRun::BoxedJob>& boxed = run.RunInputs().boxed;
    const FileRun::Outcome& outcome = run.RunOutcome();
    if (boxed && !outcome.error.empty() && !outcome.stopped) {
        const QString prompt = boxed->job == m_Decoder::FileJob::kDecrypt ? QStringLiteral("Error Decoding File!\r\n")
                                                                          : QStringLiteral("Error Encoding File!\r\n");
        MsgBox(this, QStringLiteral("Error!"), prompt + DisplayText(outcome.error));
    } else if (outcome.suspect) {
        WarnOfWrongKeyForFile();
    }
    if (const std::optional<m_Decoder::BesideTally>& tally = outcome.queue) {
        // Counted over the whole run: the typed file too, once the queue's own skips call for the box.
        const std::size_t typed = boxed ? 1 : 0;
        const std::size_t typed_not_decoded = boxed && !outcome.error.empty() ? 1 : 0;
        if (tally->NotDecoded() != 0) {
            RefuseToProceed(QString::fromStdString(
                m_Decoder::NotDecodedSummary(tally->NotDecoded() + typed_not_decoded, tally->total + typed)));
        }
        if (tally->suspects != 0) {
            WarnOfWrongKeyForQueue(tally->suspects, tally->decoded);
        }
    }
}

// The boxes that name files belong to the job until it ends; Cancel stays to stop it.
void frmDecodeFile::ShowJobRunning(std::size_t files) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdDecode_, txtEFile_, cmdEBrowse_, txtDFile_, cmdEncode_}) {
        control->setEnabled(false);
    }
    prgJob_->setValue(0);
    prgJob_->show();
    lblJobFile_->setText(QStringLiteral("File 1 of %1").arg(files));
    lblJobFile_->setVisible(files > 1);
}

void frmDecodeFile::ShowJobEnded() {
    prgJob_->hide();
    lblJobFile_->hide();
    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdDecode_, txtEFile_, cmdEBrowse_, txtDFile_, cmdEncode_}) {
        control->setEnabled(true);
    }
}

}  // namespace ui
