#include "ui/files/frm_decode_file.h"

#include "jobs/decrypt_beside.h"
#include "jobs/file_job.h"
#include "jobs/file_job_checks.h"
#include "jobs/uncarriable_input.h"
#include "jobs/wrong_key_check.h"
#include "ui/byte_text.h"
#include "ui/display_text.h"
#include "ui/file_drops.h"
#include "ui/files/browse.h"
#include "ui/files/file_window_accessible.h"
#include "ui/files/status_list.h"
#include "ui/message_box.h"
#include "ui/twips.h"
#include "util/path_helpers.h"
#include "util/trim.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <utility>

namespace ui {
namespace {

template <typename Control>
Control* Place(QWidget* window, const char* name, const QRect& geometry) {
    auto* control = new Control(window);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

// Enter presses the button that has the focus, and nothing else: no button
// is the window's default, and Escape does nothing.
QPushButton* PlaceButton(QWidget* window, const char* name, const QString& caption, const QRect& geometry) {
    auto* button = Place<QPushButton>(window, name, geometry);
    button->setText(caption);
    button->setAutoDefault(true);
    return button;
}

// The label also names its box for screen readers.
void PlaceLabel(QWidget* window, const char* name, const QString& caption, const QRect& geometry, QWidget* box) {
    auto* label = Place<QLabel>(window, name, geometry);
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setBuddy(box);
}

}  // namespace

frmDecodeFile::frmDecodeFile(KeySource key_source, QWidget* parent)
    : QWidget(parent, Qt::Window), key_source_(std::move(key_source)) {
    Q_ASSERT(key_source_);
    InstallFileWindowAccessibility();
    setObjectName(QStringLiteral("frmDecodeFile"));
    setWindowTitle(QStringLiteral("Norvane Mailvox Decoder"));
    // Both windows bear the same caption; this is how a screen reader tells them apart.
    setAccessibleDescription(QStringLiteral("Decode Attachments"));
    // The layout's sizes were made for an 8-point font.
    QFont window_font = font();
    window_font.setPointSize(8);
    setFont(window_font);
    setFixedSize(FromTwips(7575, 3195));
    CreateControls();
    AcceptFileDrops(*this, [this](const std::vector<std::string>& files) { OpenFiles(files); });
}

void frmDecodeFile::CreateControls() {
    cmdCancel_ = PlaceButton(this, "cmdCancel", QStringLiteral("Cancel"), FromTwips(2880, 2760, 1095, 375));
    cmdDecode_ = PlaceButton(this, "cmdDecode", QStringLiteral("Decode"), FromTwips(4560, 2760, 1095, 375));
    txtEFile_ = Place<QLineEdit>(this, "txtEFile", FromTwips(240, 360, 6135, 285));
    PlaceLabel(this, "lblEFile", QStringLiteral("Encrypted File Path"), FromTwips(240, 120, 1695, 255), txtEFile_);
    cmdEBrowse_ = PlaceButton(this, "cmdEBrowse", QStringLiteral("Browse"), FromTwips(6480, 360, 855, 255));
    txtDFile_ = Place<QLineEdit>(this, "txtDFile", FromTwips(240, 1080, 7095, 285));
    txtDFile_->setToolTip(QStringLiteral("Path and name of what you want the decrypted file to be."));
    PlaceLabel(this, "Label1", QStringLiteral("Decrypted File Path"), FromTwips(240, 840, 1695, 255), txtDFile_);
    lstStatus_ = Place<StatusList>(this, "lstStatus", FromTwips(240, 1560, 7095, 1035));
    lstStatus_->setAccessibleName(QStringLiteral("Status"));
    cmdEncode_ = PlaceButton(this, "cmdEncode", QStringLiteral("Encode"), FromTwips(6240, 2760, 1095, 375));
    cmdEncode_->hide();  // nothing in the program shows it
    // The strip left of Cancel is free: a job's progress shows there while it runs.
    prgJob_ = Place<QProgressBar>(this, "prgJob", FromTwips(240, 2760, 1215, 375));
    prgJob_->setAccessibleName(QStringLiteral("Progress"));
    prgJob_->setRange(0, kProgressSteps);
    prgJob_->hide();
    lblJobFile_ = Place<QLabel>(this, "lblJobFile", FromTwips(1560, 2760, 1200, 375));
    lblJobFile_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblJobFile_->hide();

    QWidget::setTabOrder(cmdCancel_, cmdDecode_);
    QWidget::setTabOrder(cmdDecode_, txtEFile_);
    QWidget::setTabOrder(txtEFile_, cmdEBrowse_);
    QWidget::setTabOrder(cmdEBrowse_, txtDFile_);
    QWidget::setTabOrder(txtDFile_, lstStatus_);
    QWidget::setTabOrder(lstStatus_, cmdEncode_);
    cmdCancel_->setFocus();

    connect(cmdCancel_, &QPushButton::clicked, this, &frmDecodeFile::cmdCancel_Click);
    connect(cmdDecode_, &QPushButton::clicked, this, &frmDecodeFile::cmdDecode_Click);
    connect(cmdEBrowse_, &QPushButton::clicked, this, &frmDecodeFile::cmdEBrowse_Click);
    connect(cmdEncode_, &QPushButton::clicked, this, &frmDecodeFile::cmdEncode_Click);
}

void frmDecodeFile::StatusAdd(const std::string& sText) {
    lstStatus_->AddLine(DisplayText(sText));
}

frmDecodeFile::~frmDecodeFile() {
    // A run still under way ends first, and what it sent is dropped: nothing
    // of it may reach a window that has gone.
    job_.StopAndJoin();
}

// While a job runs, Cancel stops it and the window stays; otherwise it unloads the window.
void frmDecodeFile::cmdCancel_Click() {
    if (job_.Running()) {
        job_.RequestStop();
        return;
    }
    close();
}

// A file named in the box goes first, then the files queued behind it.
void frmDecodeFile::cmdDecode_Click() {
    if (job_.Running()) {
        return;
    }
    if (TrimmedPath(*txtEFile_).empty() && !queue_.empty()) {
        return RunQueue();
    }
    const std::string source = TrimmedPath(*txtEFile_);
    const std::string dest = TrimmedPath(*txtDFile_);
    const std::string key = TrimmedKey();
    if (const auto refusal = m_Decoder::CheckJobInputs(m_Decoder::FileJob::kDecrypt, source, dest, key)) {
        RefuseToProceed(QString::fromUtf8(m_Decoder::RefusalPrompt(m_Decoder::FileJob::kDecrypt, *refusal)));
        if (*refusal == m_Decoder::JobRefusal::kKeyMissing) {
            // The key is typed in the main window; the user comes back from there.
            close();
        }
        return;
    }

    StatusAdd("Here we go!");
    StartRun(FileRun::BoxedJob{m_Decoder::FileJob::kDecrypt, source, dest}, std::exchange(queue_, {}), key);
}

void frmDecodeFile::cmdEBrowse_Click() {
    if (job_.Running()) {
        return;
    }
    // Without a desktop folder the chooser opens where it was last, silently.
    if (const std::optional<QString> desktop = DesktopFolder()) {
        frmDrive_.sFolderName = *desktop;
    }
    // The last argument is the chooser's folder argument, which it ignores.
    frmDrive_.ExGetFile(QStringLiteral("Encrypted File"), QStringLiteral(" All Files"), QStringLiteral("*.*"),
                        QDir::rootPath());
    if (frmDrive_.bCanceled) {
        return;
    }
    if (frmDrive_.bMatch.ToBool()) {
        txtEFile_->setText(frmDrive_.sFileName.ToText());
    }
    // Proposed even when no file was selected: from the folder, or from what was typed.
    txtDFile_->setText(
        QString::fromStdString(m_Decoder::ProposedDestination(frmDrive_.sFileName.ToText().toStdString())));
}

void frmDecodeFile::cmdEncode_Click() {
    // Encrypts the file named in the second box into the first. Neither a
    // missing key nor an existing destination stops it (the container
    // replaces one); a key the code page would weaken does.
    if (job_.Running()) {
        return;
    }
    const std::string source = TrimmedPath(*txtDFile_);
    const std::string dest = TrimmedPath(*txtEFile_);
    const std::string key = TrimmedKey();
    if (const auto refusal = m_Decoder::CheckJobInputs(m_Decoder::FileJob::kEncrypt, source, dest, key)) {
        return RefuseToProceed(QString::fromUtf8(m_Decoder::RefusalPrompt(m_Decoder::FileJob::kEncrypt, *refusal)));
    }
    if (m_Decoder::FitOfKey(key_source_().toStdU32String(), m_Decoder::KeyUse::kMake) == m_Decoder::KeyFit::kRefused) {
        return RefuseToProceed(QString::fromUtf8(m_Decoder::kKeyCannotBeUsed));
    }

    StatusAdd("Here we go!");
    StartRun(FileRun::BoxedJob{m_Decoder::FileJob::kEncrypt, source, dest}, {}, key);
}

// Every way of unloading the window ends here: Cancel, the close box and a
// missing key. A job still running is asked to stop, and the window goes at once.
void frmDecodeFile::closeEvent(QCloseEvent* event) {
    StopJob([] {});
    ClearControls();
    event->accept();
}

void frmDecodeFile::ClearControls() {
    txtEFile_->clear();
    txtDFile_->clear();
    lstStatus_->Reset();
    queue_.clear();
    cmdCancel_->setFocus();
}

void frmDecodeFile::RefuseToProceed(const QString& prompt) {
    MsgBox(this, QStringLiteral("Unable to Proceed!"), prompt);
}

std::string frmDecodeFile::TrimmedPath(const QLineEdit& box) {
    // Paths stay UTF-8 all the way to the file system.
    return util::TrimSpaces(box.text().toStdString());
}

void frmDecodeFile::WarnOfWrongKeyForFile() {
    MsgBox(this, QString::fromUtf8(m_Decoder::kCheckTheKeyTitle), QString::fromUtf8(m_Decoder::kWrongKeyWarning));
}

std::string frmDecodeFile::TrimmedKey() const {
    return util::TrimSpaces(BytesFromText(key_source_()));
}

}  // namespace ui
