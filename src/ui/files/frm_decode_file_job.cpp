// The attachment window's jobs on their thread: what runs there, what the
// window shows while they run, and the boxes once they have ended.
#include "jobs/wrong_key_check.h"
#include "ui/display_text.h"
#include "ui/files/frm_decode_file.h"
#include "ui/message_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <memory>
#include <utility>

namespace ui {

std::string frmDecodeFile::DoDecryptFile(const std::string& SourceFile, const std::string& DestFile,
                                         const std::string& skey) {
    return m_Decoder::RunFileJob(m_Decoder::FileJob::kDecrypt, SourceFile, DestFile, skey,
                                 {.status = [this](const std::string& line) { SendStatus(line); },
                                  .progress = JobProgress(),
                                  .clear_head = &clear_head_});
}

std::string frmDecodeFile::DoEncryptFile(const std::string& SourceFile, const std::string& DestFile,
                                         const std::string& skey) {
    return m_Decoder::RunFileJob(
        m_Decoder::FileJob::kEncrypt, SourceFile, DestFile, skey,
        {.status = [this](const std::string& line) { SendStatus(line); }, .progress = JobProgress()});
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

void frmDecodeFile::StartRun(std::optional<BoxedJob> boxed, std::vector<std::string> queue, const std::string& key) {
    const std::size_t files = (boxed ? 1 : 0) + queue.size();
    ShowJobRunning(files);
    auto outcome = std::make_shared<RunOutcome>();
    outcome->boxed = std::move(boxed);
    job_.Start(
        [this, outcome, queue = std::move(queue), key, files] {
            if (const std::optional<BoxedJob>& job = outcome->boxed) {
                SendFileNumber(1, files);
                const bool decrypt = job->job == m_Decoder::FileJob::kDecrypt;
                outcome->error =
                    decrypt ? DoDecryptFile(job->source, job->dest, key) : DoEncryptFile(job->source, job->dest, key);
                // A job that failed after Cancel was asked for ended on it.
                outcome->stopped = !outcome->error.empty() && job_.StopRequested();
                if (outcome->stopped) {
                    SendStatus("Stopped: " + job->source);
                }
                outcome->suspect = decrypt && outcome->error.empty() && m_Decoder::LooksLikeWrongKey(clear_head_);
                clear_head_ = {};
            }
            if (!queue.empty()) {
                outcome->queue = DecodeQueue(queue, key, files - queue.size(), files);
            }
        },
        [this, outcome] {
            ShowJobEnded();
            // The typed file is done: the next Decode runs what was queued meanwhile.
            if (outcome->boxed && outcome->error.empty()) {
                txtEFile_->clear();
                txtDFile_->clear();
            }
            ShowOutcome(*outcome);
        });
}

void frmDecodeFile::ShowOutcome(const RunOutcome& outcome) {
    if (outcome.boxed && !outcome.error.empty() && !outcome.stopped) {
        const QString prompt = outcome.boxed->job == m_Decoder::FileJob::kDecrypt
                                   ? QStringLiteral("Error Decoding File!\r\n")
                                   : QStringLiteral("Error Encoding File!\r\n");
        MsgBox(this, QStringLiteral("Error!"), prompt + DisplayText(outcome.error));
    } else if (outcome.suspect) {
        WarnOfWrongKeyForFile();
    }
    if (const std::optional<m_Decoder::BesideTally>& tally = outcome.queue) {
        // Counted over the whole run: the typed file too, once the queue's own skips call for the box.
        const std::size_t typed = outcome.boxed ? 1 : 0;
        const std::size_t typed_not_decoded = outcome.boxed && !outcome.error.empty() ? 1 : 0;
        if (tally->NotDecoded() != 0) {
            RefuseToProceed(QString::fromStdString(
                m_Decoder::NotDecodedSummary(tally->NotDecoded() + typed_not_decoded, tally->total + typed)));
        }
        if (tally->suspects != 0) {
            WarnOfWrongKeyForQueue(tally->suspects, tally->decoded);
        }
    }
}

void frmDecodeFile::SendStatus(const std::string& line) {
    job_.Send([this, line] { StatusAdd(line); });
}

void frmDecodeFile::SendFileNumber(std::size_t number, std::size_t files) {
    job_.Send([this, number, files] {
        lblJobFile_->setText(QStringLiteral("File %1 of %2").arg(number).arg(files));
        prgJob_->setValue(0);
    });
}

m_Encryption::Progress frmDecodeFile::JobProgress() {
    return job_.ProgressTo([this](std::uint64_t done, std::uint64_t total) {
        const auto steps = total == 0 ? kProgressSteps : static_cast<int>(done * kProgressSteps / total);
        prgJob_->setValue(steps);
    });
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
