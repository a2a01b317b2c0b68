// SIGTERM, SIGINT and SIGHUP end the program as File > Exit does, through
// the event loop, on the real windows.

#include "ui/main/termination_signals.h"

#include "app/attach_file_window.h"
#include "cipher/chunk_pump.h"
#include "cipher/file_container.h"
#include "jobs/key_store.h"
#include "support/pump_faults.h"
#include "support/temp_dir.h"
#include "ui/files/file_window_controls.h"
#include "window_driver.h"

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
    void aJobStopsBeforeTheProgramEnds_data();
    void aJobStopsBeforeTheProgramEnds();
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

void TerminationSignalsTest::aJobStopsBeforeTheProgramEnds_data() {
    QTest::addColumn<bool>("signal");
    QTest::newRow("SIGTERM") << true;
    QTest::newRow("File > Exit") << false;
}

void TerminationSignalsTest::aJobStopsBeforeTheProgramEnds() {
    QFETCH(bool, signal);
    const TempDir dir;
    WriteFile(dir / "plain", std::string(3 * cipher::kChunkSize, 'b'));
    QVERIFY(m_Encryption::EncryptFileWithSalt((dir / "plain").string(), (dir / "e~plain").string(), "secret").empty());
    std::filesystem::remove(dir / "plain");

    m_Decoder::KeyStoreSettings key_store = KeyStoreIn(dir.Path());
    key_store.pause_rounds = 2;
    QWidget* file_window = nullptr;
    QList<bool> job_ended_in_pause;
    key_store.yield = [&] {
        QVERIFY(file_window != nullptr);
        job_ended_in_pause.append(testsupport::ControlOf<QPushButton>(*file_window, "cmdDecode")->isEnabled());
    };
    WindowDriver driver(key_store);
    ui::AttachFileWindow(driver.Window());
    ui::CloseOnTerminationSignals(driver.Window());
    driver.TypeKey(QStringLiteral("secret"));
    driver.Menu("mnuRememberKey").setChecked(true);
    file_window = driver.Window().ShowFileWindow();
    testsupport::ControlOf<QLineEdit>(*file_window, "txtEFile")
        ->setText(QString::fromStdString((dir / "e~plain").string()));
    testsupport::ControlOf<QLineEdit>(*file_window, "txtDFile")
        ->setText(QString::fromStdString((dir / "out").string()));
    // Ending waits for the job: a held chunk goes on by itself soon.
    cipher::HeldChunks held(std::chrono::milliseconds(200));
    testsupport::ControlOf<QPushButton>(*file_window, "cmdDecode")->click();
    QTRY_VERIFY(held.Holding(1));

    if (signal) {
        QVERIFY(::raise(SIGTERM) == 0);
    } else {
        driver.Menu("mnuExit").trigger();
    }

    QTRY_VERIFY(!driver.Window().isVisible());
    QVERIFY(!file_window->isVisible());
    QCOMPARE(job_ended_in_pause, QList<bool>({true, true}));
    QVERIFY(!std::filesystem::exists(dir / "out"));
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("secret"));
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
