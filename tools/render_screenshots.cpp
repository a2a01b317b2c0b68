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
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace {

// A key under which the sample's protected form holds only printable characters.
constexpr const char* kSampleKey = "l7{{83";
constexpr const char* kSampleText =
    "Dear client,\r\n"
    "the contract is attached, encrypted with your key.\r\n"
    "Kind regards";

// Decode runs its job on the window's job thread: Decode can be pressed
// again once the job has ended and its lines are in the list.
void DecodeAndWait(const QWidget& window) {
    auto* decode = window.findChild<QPushButton*>(QStringLiteral("cmdDecode"));
    decode->click();
    while (!decode->isEnabled()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

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
    DecodeAndWait(window);
    if (!QFile::exists(QString::fromStdString(plain))) {
        std::fprintf(stderr, "the sample attachment did not decrypt\n");
        return false;
    }

    const bool saved = window.grab().save(file);
    window.hide();
    return saved;
}

// Writes `body` as `name` in `folder`, encrypted under the sample key, and
// gives the encrypted file's path ("" on failure).
QString MakeAttachment(const QTemporaryDir& folder, const QString& name, const QByteArray& body) {
    const QString plain = folder.filePath(QStringLiteral("clear-") + name);
    QString encrypted = folder.filePath(QStringLiteral("e~") + name);
    QFile source(plain);
    if (!source.open(QIODevice::WriteOnly) || source.write(body) != body.size()) {
        return {};
    }
    source.close();
    if (!m_Encryption::EncryptFileWithSalt(plain.toStdString(), encrypted.toStdString(), kSampleKey).empty() ||
        !QFile::remove(plain)) {
        return {};
    }
    return encrypted;
}

// Three attachments dropped on the window at once, as the file manager
// sends them: first the queue, then the same window after Decode.
bool RenderDropAndDecode(const QString& queued_file, const QString& decoded_file) {
    const QTemporaryDir mail(QDir::temp().filePath(QStringLiteral("Mail-XXXXXX")));
    QList<QUrl> urls;
    const QList<QPair<QString, QByteArray>> attachments = {
        {QStringLiteral("contract.pdf"), QByteArrayLiteral("%PDF-1.4 contract")},
        {QStringLiteral("invoice.pdf"), QByteArrayLiteral("%PDF-1.4 invoice")},
        {QStringLiteral("minutes.txt"), QByteArrayLiteral("Minutes of the meeting\n")},
    };
    for (const auto& [name, body] : attachments) {
        const QString encrypted = MakeAttachment(mail, name, body);
        if (encrypted.isEmpty()) {
            std::fprintf(stderr, "cannot make the sample attachments\n");
            return false;
        }
        urls.append(QUrl::fromLocalFile(encrypted));
    }

    ui::frmDecodeFile window([] { return QString::fromUtf8(kSampleKey); });
    window.show();
    QMimeData dragged;
    dragged.setUrls(urls);
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QApplication::processEvents();
    if (!drop.isAccepted() || window.findChild<QListWidget*>(QStringLiteral("lstStatus"))->count() != urls.size() ||
        !window.grab().save(queued_file)) {
        std::fprintf(stderr, "the drop was not queued\n");
        return false;
    }

    DecodeAndWait(window);
    for (const auto& [name, body] : attachments) {
        QFile decoded(mail.filePath(name));
        if (!decoded.open(QIODevice::ReadOnly) || decoded.readAll() != body) {
            std::fprintf(stderr, "the queue did not decode\n");
            return false;
        }
    }
    const bool saved = window.grab().save(decoded_file);
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
    const QString queued = folder.filePath(QStringLiteral("drop-queued.png"));
    const QString decoded = folder.filePath(QStringLiteral("drop-decoded.png"));
    if (!RenderDropAndDecode(queued, decoded)) {
        std::fprintf(stderr, "cannot write %s and %s\n", qPrintable(queued), qPrintable(decoded));
        return 1;
    }
    return 0;
}
