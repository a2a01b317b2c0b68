// Renders the program's windows offscreen into the pictures that the README
// shows, so that they always show the real windows. Run by
// scripts/render-screenshots.sh: render_screenshots OUTPUT_FOLDER

#include "cipher/file_container.h"
#include "cipher/text_cipher.h"
#include "ui/byte_text.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/frm_decode.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A key under which the sample's protected form holds only printable characters.
constexpr const char* kSampleKey = "l7{{83";
constexpr const char* kSampleText =
    "Dear client,\r\n"
    "the contract is attached, encrypted with your key.\r\n"
    "Kind regards";

bool RenderMainWindow(const QString& file) {
    // An empty folder of its own: no remembered key is read, none is written.
    const QTemporaryDir key_folder;
    m_Decoder::KeyStoreSettings key_store;
    key_store.folder = key_folder.path().toStdString();
    frmDecode window(key_store);
    window.show();

    const std::string protected_text = m_Decoder::EncodeText(kSampleText, kSampleKey);
    window.findChild<QPlainTextEdit*>(QStringLiteral("txtEncrypted"))->setPlainText(ui::TextFromBytes(protected_text));
    window.findChild<QLineEdit*>(QStringLiteral("txtClientKey"))->setText(QString::fromUtf8(kSampleKey));
    window.findChild<QPushButton*>(QStringLiteral("cmdDecode"))->click();
    QApplication::processEvents();
    const QString clear_text = window.findChild<QPlainTextEdit*>(QStringLiteral("txtClearText"))->toPlainText();
    if (clear_text != QString::fromUtf8(kSampleText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))) {
        std::fprintf(stderr, "the sample did not decode to itself\n");
        return false;
    }

    const bool saved = window.grab().save(file);
    window.hide();
    return saved;
}

// Decrypts a real attachment, so that the status list shows a real job.
bool RenderAttachmentWindow(const QString& file) {
    const QTemporaryDir mail(QDir::temp().filePath(QStringLiteral("Mail-XXXXXX")));
    const std::string plain = mail.filePath(QStringLiteral("contract.pdf")).toStdString();
    const std::string encrypted = mail.filePath(QStringLiteral("e~contract.pdf")).toStdString();
    QFile source(QString::fromStdString(plain));
    if (!source.open(QIODevice::WriteOnly) || source.write("%PDF-1.4 sample") < 0) {
        return false;
    }
    source.close();
    if (!m_Encryption::EncryptFileWithSalt(plain, encrypted, kSampleKey).empty() || !QFile::remove(source.fileName())) {
        std::fprintf(stderr, "cannot make the sample attachment\n");
        return false;
    }

    ui::frmDecodeFile window([] { return QString::fromUtf8(kSampleKey); });
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("txtEFile"))->setText(QString::fromStdString(encrypted));
    window.findChild<QLineEdit*>(QStringLiteral("txtDFile"))->setText(QString::fromStdString(plain));
    window.findChild<QPushButton*>(QStringLiteral("cmdDecode"))->click();
    QApplication::processEvents();
    if (!QFile::exists(QString::fromStdString(plain))) {
        std::fprintf(stderr, "the sample attachment did not decrypt\n");
        return false;
    }

    const bool saved = window.grab().save(file);
    window.hide();
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString main_window = folder.filePath(QStringLiteral("main-window.png"));
    if (!RenderMainWindow(main_window)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(main_window));
        return 1;
    }
    const QString attachment_window = folder.filePath(QStringLiteral("attachment-window.png"));
    if (!RenderAttachmentWindow(attachment_window)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(attachment_window));
        return 1;
    }
    return 0;
}
