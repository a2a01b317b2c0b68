// SIGTERM, SIGINT and SIGHUP end the program as File > Exit does, through
// the event loop, on the real windows.

#include "ui/main/termination_signals.h"

#include "cipher/file_container.h"
#include "jobs/key_store.h"
#include "support/temp_dir.h"
#include "ui/files/attach_file_window.h"
#include "window_driver.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>

using testsupport::KeyStoreIn;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WindowDriver;
using testsupport::WriteFile;

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endsAsAnUnloadDoes_data();
    void endsAsAnUnloadDoes();
    void aSignalDuringAFileJobWaitsForItsEnd();
    void aHangUpIgnoredUnderNohupStaysIgnored();
};

void TerminationSignalsTest::endsAsAnUnloadDoes_data() {
    QTest::addColumn<int>("signal_number");
    QTest::addColumn<bool>("remember");

    QTest::newRow("SIGTERM, key remembered") << SIGTERM << true;
    QTest::newRow("SIGINT, key remembered") << SIGINT << true;
    QTest::newRow("SIGHUP, key remembered") << SIGHUP << true;
    QTest::newRow("SIGTERM, key forgotten") << SIGTERM << false;
    QTest::newRow("SIGHUP, key forgotten") << SIGHUP << false;
}

void TerminationSignalsTest::endsAsAnUnloadDoes() {
    QFETCH(int, signal_number);
    QFETCH(bool, remember);

    const TempDir dir;
    const m_Decoder::KeyStoreSettings key_store = KeyStoreIn(dir.Path());
    m_Decoder::SaveClientKey("old key", key_store);
    WindowDriver driver(key_store);
    ui::CloseOnTerminationSignals(driver.Window());
    driver.TypeKey(QStringLiteral("new key"));
    driver.Menu("mnuRememberKey").setChecked(remember);

    QVERIFY(::raise(signal_number) == 0);
    // The handler only wrote to the pipe: the event loop acts on it.
    QVERIFY(driver.Window().isVisible());
    QTRY_VERIFY(!driver.Window().isVisible());
    QCOMPARE(QString::fromStdString(m_Decoder::LoadClientKey(key_store)),
             remember ? QStringLiteral("new key") : QString());
    QCOMPARE(std::filesystem::exists(dir / m_Decoder::kKeyFileName), remember);
}

void TerminationSignalsTest::aSignalDuringAFileJobWaitsForItsEnd() {
    const TempDir dir;
    const std::string body(100000, 'b');
    WriteFile(dir / "plain", body);
    QVERIFY(m_Encryption::EncryptFileWithSalt((dir / "plain").string(), (dir / "e~plain").string(), "secret").empty());

    WindowDriver driver(KeyStoreIn(dir.Path()));
    ui::AttachFileWindow(driver.Window());
    ui::CloseOnTerminationSignals(driver.Window());
    driver.TypeKey(QStringLiteral("secret"));
    driver.Click("cmdDecodeAttachments");
    QWidget* file_window = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("frmDecodeFile")) {
            file_window = window;
        }
    }
    QVERIFY(file_window != nullptr);
    file_window->findChild<QLineEdit*>(QStringLiteral("txtEFile"))
        ->setText(QString::fromStdString((dir / "e~plain").string()));
    file_window->findChild<QLineEdit*>(QStringLiteral("txtDFile"))
        ->setText(QString::fromStdString((dir / "out").string()));

    // The signal comes in with the job's first status line, half-way through.
    auto* status = file_window->findChild<QListWidget*>(QStringLiteral("lstStatus"));
    bool raised = false;
    connect(status->model(), &QAbstractItemModel::rowsInserted, this, [&raised] {
        if (!raised) {
            raised = ::raise(SIGTERM) == 0;
        }
    });
    file_window->findChild<QPushButton*>(QStringLiteral("cmdDecode"))->click();

    QVERIFY(raised);
    QCOMPARE(ReadFile(dir / "out"), body);
    QVERIFY(driver.Window().isVisible());
    QTRY_VERIFY(!driver.Window().isVisible());
    QVERIFY(!file_window->isVisible());
}

void TerminationSignalsTest::aHangUpIgnoredUnderNohupStaysIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction previous {};
    QVERIFY(::sigaction(SIGHUP, &ignore, &previous) == 0);
    {
        const TempDir dir;
        WindowDriver driver(KeyStoreIn(dir.Path()));
        ui::CloseOnTerminationSignals(driver.Window());
        struct sigaction now {};
        QVERIFY(::sigaction(SIGHUP, nullptr, &now) == 0);
        QVERIFY2(now.sa_handler == SIG_IGN, "the window took over an ignored hang-up");
        QVERIFY(::raise(SIGHUP) == 0);
        QCoreApplication::processEvents();
        QVERIFY(driver.Window().isVisible());
        // The other requests to end still close the window.
        QVERIFY(::raise(SIGTERM) == 0);
        QTRY_VERIFY(!driver.Window().isVisible());
    }
    QVERIFY(::sigaction(SIGHUP, &previous, nullptr) == 0);
}

QTEST_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
