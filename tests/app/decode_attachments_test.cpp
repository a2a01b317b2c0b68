#include "app/attach_file_window.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "ui/files/file_window_controls.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/window_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using testsupport::KeyStoreIn;
using testsupport::MessageBoxRecorder;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WindowDriver;

const fs::path kVectors = fs::path(testsupport::kDataDir) / "vectors";

QList<ui::frmDecodeFile*> FileWindows() {
    QList<ui::frmDecodeFile*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::frmDecodeFile*>(widget)) {
            windows.append(window);
        }
    }
    return windows;
}

}  // namespace

// The main window's Decode Attachments and the attachment window it opens.
class DecodeAttachmentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoPressesShowOneWindow();
    void theKeyIsReadFromTheMainWindowAtEachCommand();
};

void DecodeAttachmentsTest::twoPressesShowOneWindow() {
    TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    ui::AttachFileWindow(driver.Window());
    QVERIFY(FileWindows().isEmpty());

    driver.Click("cmdDecodeAttachments");
    QCOMPARE(FileWindows().size(), 1);
    ui::frmDecodeFile* file_window = FileWindows().at(0);
    QVERIFY(QTest::qWaitForWindowActive(file_window));
    QVERIFY(file_window->parentWidget() == nullptr);
    QVERIFY(!file_window->isModal());

    driver.Activate();
    driver.Click("cmdDecodeAttachments");
    QCOMPARE(FileWindows(), QList<ui::frmDecodeFile*>({file_window}));
    QVERIFY(file_window->isVisible());
    QVERIFY(driver.Window().isEnabled());

    // After Cancel the same window comes back, empty.
    QTest::keyClicks(file_window->findChild<QLineEdit*>(QStringLiteral("txtEFile")), QStringLiteral("/tmp/x"));
    QTest::mouseClick(file_window->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QVERIFY(file_window->isHidden());
    driver.Click("cmdDecodeAttachments");
    QCOMPARE(FileWindows(), QList<ui::frmDecodeFile*>({file_window}));
    QVERIFY(file_window->isVisible());
    QVERIFY(file_window->findChild<QLineEdit*>(QStringLiteral("txtEFile"))->text().isEmpty());
}

void DecodeAttachmentsTest::theKeyIsReadFromTheMainWindowAtEachCommand() {
    TempDir key_folder;
    TempDir files;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    ui::AttachFileWindow(driver.Window());
    driver.Click("cmdDecodeAttachments");
    ui::frmDecodeFile* file_window = FileWindows().at(0);
    auto* encrypted = file_window->findChild<QLineEdit*>(QStringLiteral("txtEFile"));
    auto* decrypted = file_window->findChild<QLineEdit*>(QStringLiteral("txtDFile"));
    auto* decode = file_window->findChild<QPushButton*>(QStringLiteral("cmdDecode"));
    MessageBoxRecorder boxes;

    driver.TypeKey(QStringLiteral(" secret  "));
    QTest::keyClicks(encrypted, QString::fromStdString((kVectors / "hello.zq").string()));
    QTest::keyClicks(decrypted, QString::fromStdString((files / "hello.txt").string()));
    QTest::mouseClick(decode, Qt::LeftButton);
    QVERIFY(testsupport::WaitForJobEnd(*file_window));
    QVERIFY(boxes.Boxes().isEmpty());
    QCOMPARE(ReadFile(files / "hello.txt"), ReadFile(kVectors / "hello.plain"));

    // The key box emptied in the meantime: the next Decode finds no key.
    driver.TypeKey(QString());
    QTest::keyClicks(encrypted, QString::fromStdString((kVectors / "hello.zq").string()));
    QTest::keyClicks(decrypted, QString::fromStdString((files / "again.txt").string()));
    QTest::mouseClick(decode, Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), 1);
    QCOMPARE(boxes.Boxes().at(0).second, QStringLiteral("Key Missing!"));
    QVERIFY(file_window->isHidden());
    QVERIFY(!fs::exists(files / "again.txt"));
}

QTEST_MAIN(DecodeAttachmentsTest)
#include "decode_attachments_test.moc"
