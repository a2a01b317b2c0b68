#include "ui/main/frm_decode.h"

#include "cipher/text_cipher.h"
#include "ui/byte_text.h"
#include "ui/main/about_text.h"
#include "ui/main/activation_filter.h"
#include "ui/main/plain_text_bytes.h"
#include "ui/message_box.h"
#include "util/trim.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

namespace {

// Positions are kept in twips, 15 to the pixel.
constexpr int kTwipsPerPixel = 15;

QRect FromTwips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

// The controls are placed to the pixel; this size lets every caption fit its control.
constexpr int kFontPixels = 11;

QPlainTextEdit* NewTextBox(QWidget* parent, const QString& name, const QString& tool_tip, const QRect& geometry) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tool_tip);
    box->setGeometry(geometry);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in every other box of the window.
    box->setTabChangesFocus(true);
    return box;
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption, const QString& tool_tip,
                       const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tool_tip);
    button->setGeometry(geometry);
    // Neither button is the window's default: Enter in a box does not decode.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

frmDecode::frmDecode(m_Decoder::KeyStoreSettings key_store, QWidget* parent)
    : QMainWindow(parent), key_store_(std::move(key_store)) {
    setObjectName(QStringLiteral("frmDecode"));
    setWindowTitle(QStringLiteral("Norvane Mailvox Decoder"));
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    setFont(font);
    CreateMenus();
    CreateControls();

    auto* activation = new ui::ActivationFilter(*this);
    connect(activation, &ui::ActivationFilter::ReturnedFromOtherWindow, this, &frmDecode::Form_Activate);
}

frmDecode::~frmDecode() = default;

void frmDecode::CreateControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(494, 306);
    setCentralWidget(client);

    txtEncrypted_ =
        NewTextBox(client, QStringLiteral("txtEncrypted"),
                   QStringLiteral("Paste the encrypted text of the e-mail here"), FromTwips(240, 0, 6855, 735));
    txtClearText_ = NewTextBox(client, QStringLiteral("txtClearText"),
                               QStringLiteral("Here is where the decrypted text of the e-mail will be displayed"),
                               FromTwips(240, 1200, 6855, 3375));
    QPushButton* cmdDecode = NewButton(client, QStringLiteral("cmdDecode"), QStringLiteral("&Decode"),
                                       QStringLiteral("Click me to decrypt!"), FromTwips(3360, 840, 855, 255));

    txtClientKey_ = new QLineEdit(client);
    txtClientKey_->setObjectName(QStringLiteral("txtClientKey"));
    txtClientKey_->setToolTip(QStringLiteral("The Client encryption key needs to be filled in here"));
    txtClientKey_->setGeometry(FromTwips(1320, 810, 1935, 285));
    txtClientKey_->setEchoMode(QLineEdit::Password);
    // Styles draw their own mask character; the key box shows "*" for each one.
    txtClientKey_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    auto* lblClientKey = new QLabel(QStringLiteral("Client Key:"), client);
    lblClientKey->setObjectName(QStringLiteral("lblClientKey"));
    lblClientKey->setGeometry(FromTwips(240, 840, 975, 255));

    QPushButton* cmdDecodeAttachments =
        NewButton(client, QStringLiteral("cmdDecodeAttachments"), QStringLiteral("Decode &Attachments"),
                  QStringLiteral("Click me if there are files to be decrypted"), FromTwips(5280, 840, 1815, 255));

    setTabOrder(txtEncrypted_, txtClearText_);
    setTabOrder(txtClearText_, cmdDecode);
    setTabOrder(cmdDecode, txtClientKey_);
    setTabOrder(txtClientKey_, cmdDecodeAttachments);

    connect(cmdDecode, &QPushButton::clicked, this, &frmDecode::cmdDecode_Click);
    connect(cmdDecodeAttachments, &QPushButton::clicked, this, &frmDecode::cmdDecodeAttachments_Click);
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
    // Its check mark is the option's only storage while the program runs: read at unload.
    mnuRememberKey_->setCheckable(true);

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

void frmDecode::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        Form_Activate();
    }
}

void frmDecode::closeEvent(QCloseEvent* event) {
    // Qt delivers no second close while this one runs, so a close that
    // arrives during the save pause does not unload the window again.
    Form_Unload();
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
        file_window_->show();
        file_window_->raise();
        file_window_->activateWindow();
    }
    return file_window_.get();
}

void frmDecode::Form_Activate() {
    const std::string key = m_Decoder::LoadClientKey(key_store_);
    if (!key.empty()) {
        txtClientKey_->setText(ui::TextFromBytes(key));
        mnuRememberKey_->setChecked(true);
    } else {
        mnuRememberKey_->setChecked(false);
    }
}

void frmDecode::Form_Unload() {
    if (mnuRememberKey_->isChecked()) {
        m_Decoder::SaveClientKey(util::TrimSpaces(ui::BytesFromText(txtClientKey_->text())), key_store_);
    } else {
        m_Decoder::DeleteClientKey(key_store_);
    }
    // The program ends with this window: every other window goes with it, without a say.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) {
            window->hide();
        }
    }
    QCoreApplication::quit();
}

void frmDecode::mnuAbout_Click() {
    ui::MsgBox(this, ui::AboutTitle(), ui::AboutText());
}
