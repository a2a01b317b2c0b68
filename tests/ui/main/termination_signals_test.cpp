// SIGTERM, SIGINT and SIGHUP end the program as File > Exit does, through
// the event loop, on the real windows.

#include "ui/main/termination_signals.h"

#include "cipher/file_container.h"
#include "jobs/key_store.h"
#include "support/temp_dir.h"
#include "ui/files/attach_file_window.h"
#include "ui/support/find_control.h"
#include "window_driver.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>

using namespace testsupport;

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endsAsAnUnloadDoes_data();
    void endsAsAnUnloadDoes();
    void aSignalDuringAFileJobWaitsForItsEnd();
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
    testsupport::Find<QLineEdit>(*file_window, "txtEFile").setText(QString::fromStdString((dir / "e~plain").string()));
    testsupport::Find<QLineEdit>(*file_window, "txtDFile").setText(QString::fromStdString((dir / "out").string()));

    // The signal comes in with the job's first status line, half-way through.
    auto* status = &testsupport::Find<QListWidget>(*file_window, "lstStatus");
    bool raised = false;
    connect(status->model(), &QAbstractItemModel::rowsInserted, this, [&raised] {
        if (!raised) {
            raised = ::raise(SIGTERM) == 0;
        }
    });
    testsupport::Find<QPushButton>(*file_window, "cmdDecode").click();

    QVERIFY(raised);
    QCOMPARE(ReadFile(dir / "out"), body);
    QVERIFY(driver.Window().isVisible());
    QTRY_VERIFY(!driver.Window().isVisible());
    QVERIFY(!file_window->isVisible());
}

QTEST_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
