#include "ui/main/frm_decode.h"

#include "cipher/text_cipher.h"
#include "ui/byte_text.h"
#include "ui/command_button.h"
#include "ui/hidden_text_accessibility.h"
#include "ui/main/about_text.h"
#include "ui/main/activation_filter.h"
#include "ui/main/file_key_store.h"
#include "ui/main/plain_text_bytes.h"
#include "ui/main/remembered_key_writer.h"
#include "ui/message_box.h"
#include "ui/twips_layout.h"
#include "ui/window_placement.h"
#include "util/trim.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

#include <utility>

namespace {

using Growth = ui::TwipsLayout::Growth;

// The controls are placed to the pixel; this size lets every caption fit its control.
constexpr int kFontPixels = 11;

QPlainTextEdit* NewTextBox(QWidget* parent, const QString& name, const QString& tool_tip,
                           const QString& accessible_name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tool_tip);
    box->setAccessibleName(accessible_name);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in every other box of the window.
    box->setTabChangesFocus(true);
    return box;
}

// Neither button is the window's default: Enter in a box does not decode,
// and Enter on a button presses that button.
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption, const QString& tool_tip) {
    auto* button = new ui::CommandButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tool_tip);
    return button;
}

}  // namespace

frmDecode::frmDecode(m_Decoder::KeyStoreSettings key_store, QWidget* parent)
    : frmDecode(std::make_unique<ui::FileKeyStore>(std::move(key_store)), parent) {}

frmDecode::frmDecode(std::unique_ptr<ui::RememberedKeyStore> key_store, QWidget* parent)
    : QMainWindow(parent), key_store_(std::move(key_store)) {
    // Before the key box exists, so that no event of it goes out unmasked.
    ui::InstallHiddenTextMasking();
    setObjectName(QStringLiteral("frmDecode"));
    // The unload ends the program itself, once a job has stopped: Qt's own
    // end at the last closed window would come before that.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    setWindowTitle(QStringLiteral("Norvane Mailvox Decoder"));
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    setFont(font);
    CreateMenus();
    CreateControls();
    key_writer_ = new ui::RememberedKeyWriter(
        *key_store_, [this] { return util::TrimSpaces(ui::BytesFromText(txtClientKey_->text())); }, *this);
    // After the handler that asked for the save: the box never opens in the middle of one.
    connect(key_writer_, &ui::RememberedKeyWriter::SaveFailed, this, &frmDecode::KeySaveFailed, Qt::QueuedConnection);
    connect(key_writer_, &ui::RememberedKeyWriter::SaveRefused, this, &frmDecode::KeySaveRefused, Qt::QueuedConnection);

    auto* activation = new ui::ActivationFilter(*this);
    connect(activation, &ui::ActivationFilter::ReturnedFromOtherWindow, this, &frmDecode::Form_Activate);
}

frmDecode::~frmDecode() = default;

void frmDecode::CreateControls() {
    // The client area was drawn 7410 by 4590 twips; a larger window gives
    // the message boxes more room and moves Decode Attachments with its edge.
    auto* client = new QWidget(this);
    auto* layout = new ui::TwipsLayout(*client, 7410, 4590);
    setCentralWidget(client);

    txtEncrypted_ =
        NewTextBox(client, QStringLiteral("txtEncrypted"),
                   QStringLiteral("Paste the encrypted text of the e-mail here"), QStringLiteral("Encrypted Text"));
    layout->Place(*txtEncrypted_, QRect(240, 0, 6855, 735), Growth::kWidth);
    txtClearText_ = NewTextBox(client, QStringLiteral("txtClearText"),
                               QStringLiteral("Here is where the decrypted text of the e-mail will be displayed"),
                               QStringLiteral("Decoded Text"));
    layout->Place(*txtClearText_, QRect(240, 1200, 6855, 3375), Growth::kWidthAndHeight);
    QPushButton* cmdDecode = NewButton(client, QStringLiteral("cmdDecode"), QStringLiteral("&Decode"),
                                       QStringLiteral("Click me to decrypt!"));
    layout->Place(*cmdDecode, QRect(3360, 840, 855, 255));

    txtClientKey_ = new QLineEdit(client);
    txtClientKey_->setObjectName(QStringLiteral("txtClientKey"));
    txtClientKey_->setToolTip(QStringLiteral("The Client encryption key needs to be filled in here"));
    layout->Place(*txtClientKey_, QRect(1320, 810, 1935, 285));
    txtClientKey_->setEchoMode(QLineEdit::Password);
    // Styles draw their own mask character; the key box shows "*" for each one.
    txtClientKey_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    auto* lblClientKey = new QLabel(QStringLiteral("Client Key:"), client);
    lblClientKey->setObjectName(QStringLiteral("lblClientKey"));
    layout->Place(*lblClientKey, QRect(240, 840, 975, 255));
    // Screen readers name the key box after its label.
    lblClientKey->setBuddy(txtClientKey_);

    QPushButton* cmdDecodeAttachments =
        NewButton(client, QStringLiteral("cmdDecodeAttachments"), QStringLiteral("Decode &Attachments"),
                  QStringLiteral("Click me if there are files to be decrypted"));
    layout->Place(*cmdDecodeAttachments, QRect(5280, 840, 1815, 255), Growth::kFollowRightEdge);

    setTabOrder(txtEncrypted_, txtClearText_);
    setTabOrder(txtClearText_, cmdDecode);
    setTabOrder(cmdDecode, txtClientKey_);
    setTabOrder(txtClientKey_, cmdDecodeAttachments);

    connect(cmdDecode, &QPushButton::clicked, this, &frmDecode::cmdDecode_Click);
    connect(cmdDecodeAttachments, &QPushButton::clicked, this, &frmDecode::cmdDecodeAttachments_Click);
    // Every change, typed or made through the accessibility interface (which
    // sends no textEdited); txtClientKey_Change leaves out the activation's own.
    connect(txtClientKey_, &QLineEdit::textChanged, this, &frmDecode::txtClientKey_Change);
}

void frmDecode::CreateMenus() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuDecode = mnuFile->addAction(QStringLiteral("Decode"));
    mnuDecode->setObjectName(QStringLiteral("mnuDecode"));
    QAction* mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    QMenu* mnuOptions = menuBar()->addMenu(QStringLiteral("Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuRememberKey_ = mnuOptions->addAction(QStringLiteral("Remember Key"));
    mnuRememberKey_->setObjectName(QStringLiteral("mnuRememberKey"));
    // While checked, the key file follows the key box; the unload settles it once more.
    mnuRememberKey_->setCheckable(true);
    connect(mnuRememberKey_, &QAction::triggered, this, &frmDecode::mnuRememberKey_Click);

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    QAction* mnuAbout = mnuHelp->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &frmDecode::mnuAbout_Click);

    // Keep every item in its own menu where the platform would move "About" and "Exit" elsewhere.
    for (QAction* action : {mnuDecode, mnuExit, mnuRememberKey_, mnuAbout}) {
        action->setMenuRole(QAction::NoRole);
    }
}

QString frmDecode::ClientKeyText() const {
    return txtClientKey_->text();
}

void frmDecode::SetFileWindowFactory(FileWindowFactory factory) {
    file_window_factory_ = std::move(factory);
}

void frmDecode::SetJobStopper(JobStopper stopper) {
    job_stopper_ = std::move(stopper);
}

void frmDecode::SetProgramEnd(ui::EndProgram end_program) {
    end_program_ = std::move(end_program);
}

void frmDecode::EndOnRequest() {
    if (unloading_) {
        End(ui::Ending::kAtOnce);
        return;
    }
    close();
}

void frmDecode::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        Form_Activate();
    }
}

void frmDecode::closeEvent(QCloseEvent* event) {
    // Once only: the window may be closed again while the program waits for a job.
    if (!unloading_) {
        Form_Unload();
    }
    event->accept();
}

void frmDecode::cmdDecode_Click() {
    const std::string key = util::TrimSpaces(ui::BytesFromText(txtClientKey_->text()));
    const std::string message = ui::PlainTextBytes(*txtEncrypted_);
    // The cipher cannot run without a key or on a text this long.
    if (key.empty() && !message.empty()) {
        ui::MsgBox(this, QStringLiteral("Unable to Proceed!"), QStringLiteral("Key Missing!"));
        return;
    }
    if (message.size() > m_Decoder::kLongestText) {
        ui::MsgBox(this, QStringLiteral("Unable to Proceed!"), QStringLiteral("Encrypted Text Too Long!"));
        return;
    }
    ui::SetPlainTextBytes(*txtClearText_, m_Decoder::DecodeText(message, key));
}

void frmDecode::cmdDecodeAttachments_Click() {
    (void)ShowFileWindow();
}

QWidget* frmDecode::ShowFileWindow() {
    if (!file_window_ && file_window_factory_) {
        file_window_ = file_window_factory_();
    }
    if (file_window_) {
        if (!file_window_->isVisible()) {
            // Where the user moved it stays as long as it is open.
            ui::PlaceBeside(*file_window_, *this);
        }
        file_window_->show();
        file_window_->raise();
        file_window_->activateWindow();
    }
    return file_window_.get();
}

void frmDecode::Form_Activate() {
    // A key still waiting to be written is the remembered one already.
    key_writer_->Flush();
    // The store may answer later: a keyring read at start, perhaps once the user has unlocked it.
    key_store_->Load([this](const std::string& key) { ShowRememberedKey(key); });
}

void frmDecode::ShowRememberedKey(const std::string& key) {
    // A key the user changed that is not saved yet (its save failed) is
    // still theirs: no older key takes its place, nor does the mark go.
    const bool users_own_key = key_writer_->HoldsUnsavedEdit();
    if (!key.empty()) {
        if (!users_own_key) {
            const QScopedValueRollback filling(filling_key_box_, true);
            txtClientKey_->setText(ui::TextFromBytes(key));
        }
        mnuRememberKey_->setChecked(true);
    } else if (!users_own_key) {
        mnuRememberKey_->setChecked(false);
    }
}

void frmDecode::Form_Unload() {
    unloading_ = true;
    // The program ends with this window: every other window goes with it, without a say.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) {
            window->hide();
        }
    }
    // Nothing the job sends arrives any more, so the save's pause may let events run.
    if (job_stopper_) {
        job_stopper_([this] {
            job_stopped_ = true;
            EndWhenSettled();
        });
    } else {
        job_stopped_ = true;
    }
    if (mnuRememberKey_->isChecked()) {
        key_writer_->SaveAtUnload();
    } else {
        key_writer_->DeleteAtUnload();
    }
    key_writer_->WaitAtUnload();
    key_settled_ = true;
    EndWhenSettled();
    if (!ended_) {
        QTimer::singleShot(kJobStopPatience, Qt::PreciseTimer, this, [this] { End(ui::Ending::kAtOnce); });
    }
}

void frmDecode::EndWhenSettled() {
    if (job_stopped_ && key_settled_) {
        End(ui::Ending::kOrderly);
    }
}

void frmDecode::End(ui::Ending how) {
    if (!std::exchange(ended_, true)) {
        end_program_(how);
    }
}

void frmDecode::mnuRememberKey_Click(bool checked) {
    if (checked) {
        key_writer_->SaveNow();
    } else {
        key_writer_->DeleteNow();
    }
}

void frmDecode::txtClientKey_Change() {
    if (!filling_key_box_) {
        key_writer_->KeyEdited(mnuRememberKey_->isChecked());
    }
}

void frmDecode::mnuAbout_Click() {
    ui::MsgBox(this, ui::AboutTitle(), ui::AboutText());
}

void frmDecode::KeySaveFailed() {
    // Once a run is enough: the mark stays, and each edit tries again. A box
    // while the program ends would only hold up its end.
    if (told_key_not_saved_ || unloading_) {
        return;
    }
    told_key_not_saved_ = true;
    ui::MsgBox(this, windowTitle(),
               QStringLiteral("The key could not be saved, so it will not be remembered after you close the program."));
}

void frmDecode::KeySaveRefused() {
    // The user said no: unlike a failed save, the mark goes with the key.
    mnuRememberKey_->setChecked(false);
    KeySaveFailed();
}
