// SIGTERM, SIGINT and SIGHUP end the program as File > Exit does, through
// the event loop, on the real windows; a second one ends it at once.

#include "ui/main/termination_signals.h"

#include "app/attach_file_window.h"
#include "cipher/chunk_pump.h"
#include "cipher/file_container.h"
#include "jobs/key_store.h"
#include "support/pump_faults.h"
#include "support/temp_dir.h"
#include "ui/files/file_window_controls.h"
#include "window_driver.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <csignal>
#include <filesystem>

using testsupport::KeyStoreIn;
using testsupport::TempDir;
using testsupport::WindowDriver;
using testsupport::WriteFile;

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endsAsAnUnloadDoes_data();
    void endsAsAnUnloadDoes();
    void aStalledJobHoldsNeitherWindowsNorTheEnd_data();
    void aStalledJobHoldsNeitherWindowsNorTheEnd();
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
    QVERIFY(m_Decoder::SaveClientKey("old key", key_store));
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

void TerminationSignalsTest::aStalledJobHoldsNeitherWindowsNorTheEnd_data() {
    QTest::addColumn<bool>("signal");  // else File > Exit
    QTest::addColumn<QString>("then");
    QTest::newRow("SIGTERM, then the job stops") << true << QStringLiteral("stops");
    QTest::newRow("File > Exit, then the job stops") << false << QStringLiteral("stops");
    QTest::newRow("SIGTERM twice") << true << QStringLiteral("SIGTERM");
    QTest::newRow("File > Exit, then SIGTERM") << false << QStringLiteral("SIGTERM");
    QTest::newRow("SIGTERM, and the stall goes on") << true << QString();
}

void TerminationSignalsTest::aStalledJobHoldsNeitherWindowsNorTheEnd() {
    QFETCH(bool, signal);
    QFETCH(QString, then);
    const TempDir dir;
    WriteFile(dir / "plain", std::string(3 * cipher::kChunkSize, 'b'));
    QVERIFY(m_Encryption::EncryptFileWithSalt((dir / "plain").string(), (dir / "e~plain").string(), "secret").empty());
    std::filesystem::remove(dir / "plain");
    const m_Decoder::KeyStoreSettings key_store = KeyStoreIn(dir.Path());
    WindowDriver driver(key_store);
    QList<ui::Ending> endings;
    driver.Window().SetProgramEnd([&endings](ui::Ending how) { endings.append(how); });
    ui::AttachFileWindow(driver.Window());
    ui::CloseOnTerminationSignals(driver.Window());
    driver.TypeKey(QStringLiteral("secret"));
    driver.Menu("mnuRememberKey").setChecked(true);
    QWidget* file_window = driver.Window().ShowFileWindow();
    testsupport::ControlOf<QLineEdit>(*file_window, "txtEFile")
        ->setText(QString::fromStdString((dir / "e~plain").string()));
    testsupport::ControlOf<QLineEdit>(*file_window, "txtDFile")
        ->setText(QString::fromStdString((dir / "out").string()));
    // The job waits at its first chunk, as on a file system that has stalled.
    cipher::HeldChunks held(std::chrono::seconds(30));
    testsupport::ControlOf<QPushButton>(*file_window, "cmdDecode")->click();
    QTRY_VERIFY(held.Holding(1));

    QElapsedTimer clock;
    clock.start();
    if (signal) {
        QVERIFY(::raise(SIGTERM) == 0);
    } else {
        driver.Menu("mnuExit").trigger();
    }
    QTRY_VERIFY(!driver.Window().isVisible());
    QVERIFY(!file_window->isVisible());
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("secret"));
    QVERIFY(held.Holding(1));
    QCOMPARE(endings, QList<ui::Ending>());

    if (then == QStringLiteral("SIGTERM")) {
        // At once: as soon as the event loop reads the pipe, long before the job's patience ends.
        QVERIFY(::raise(SIGTERM) == 0);
        for (int pass = 0; pass < 10 && endings.isEmpty(); ++pass) {
            QCoreApplication::processEvents();
        }
    } else {
        if (then == QStringLiteral("stops")) {
            held.Allow(10);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!endings.isEmpty(), 30000);
    }
    QCOMPARE(endings,
             QList<ui::Ending>({then == QStringLiteral("stops") ? ui::Ending::kOrderly : ui::Ending::kAtOnce}));
    if (then.isEmpty()) {
        QVERIFY(clock.elapsed() >= std::chrono::milliseconds(frmDecode::kJobStopPatience).count());
    }
    QVERIFY(!std::filesystem::exists(dir / "out"));
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
