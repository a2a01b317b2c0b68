// Renders the program's windows offscreen into the pictures that the README
// shows, so that they always show the real windows. Run by
// scripts/render-screenshots.sh: render_screenshots OUTPUT_FOLDER

#include "cipher/text_cipher.h"
#include "ui/byte_text.h"
#include "ui/main/frm_decode.h"

#include <QApplication>
#include <QDir>
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

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString file = folder.filePath(QStringLiteral("main-window.png"));
    if (!RenderMainWindow(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
