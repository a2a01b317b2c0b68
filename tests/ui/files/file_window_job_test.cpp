// A job of the attachment window runs beside the window: the window answers,
// shows how far the job has come, and Cancel or the close box stop it.
#include "cipher/chunk_pump.h"
#include "cipher/file_container.h"
#include "support/pump_faults.h"
#include "support/writer_faults.h"
#include "ui/files/file_window_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <thread>
#include <utility>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ReadFile;
using testsupport::WriteFile;

QString Text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// `name` encrypted under "secret" from `size` bytes of text, in `folder`.
void MakeAttachment(const fs::path& folder, const std::string& name, std::size_t size) {
    WriteFile(folder / "plain", std::string(size, 'x'));
    QCOMPARE(m_Encryption::EncryptFileWithSalt((folder / "plain").string(), (folder / name).string(), "secret"),
             std::string());
    fs::remove(folder / "plain");
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Sees every event the application delivers while it lives.
class EventCounter : public QObject {
public:
    explicit EventCounter(std::function<void(const QEvent&)> seen) : seen_(std::move(seen)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        seen_(*event);
        return false;
    }

private:
    std::function<void(const QEvent&)> seen_;
};

}  // namespace

class FileWindowJobTest : public QObject, testsupport::FileWindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { OpenWindow(QStringLiteral("secret")); }
    void cleanup() { CloseWindow(); }

    void theWindowAnswersShowsProgressAndCancelStopsTheJob();
    void theBoxesWaitForTheJobAndDropsAreQueued();
    void theCloseBoxLetsTheJobGo();
    void aTypedFileGoesBeforeTheQueueAndCancelLeavesTheRest();
    void cancelAfterTheLastChunkKeepsTheFile();
    void aWindowDestroyedMidChunkTakesItsRunAlong();
};

void FileWindowJobTest::theWindowAnswersShowsProgressAndCancelStopsTheJob() {
    MakeAttachment(dir_->Path(), "e~big", 3 * cipher::kChunkSize);
    SetPaths(*dir_ / "e~big", *dir_ / "big");
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start(5);
    cipher::HeldChunks held;
    const testsupport::MessageBoxRecorder boxes;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);

    QTRY_VERIFY(held.Holding(1));
    const int ticks_before = ticks;
    QTest::qWait(100);
    QVERIFY(held.Holding(1));
    QVERIFY2(ticks > ticks_before, "the event loop stood still during the job");
    auto* bar = Find<QProgressBar>("prgJob");
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->accessibleName(), QStringLiteral("Progress"));
    QVERIFY(Find<QLabel>("lblJobFile")->isHidden());  // one file has no number

    held.Allow(1);
    QTRY_VERIFY(bar->value() > 0);
    QTRY_VERIFY(held.Holding(2));
    QVERIFY(bar->value() < bar->maximum());
    QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
    held.Allow(10);
    QVERIFY(testsupport::WaitForJobEnd(*window_));

    QVERIFY(!bar->isVisible());
    QVERIFY(window_->isVisible());
    QCOMPARE(boxes.Boxes(), Boxes());
    QCOMPARE(StatusLines().last(), QStringLiteral("Stopped: ") + Text(*dir_ / "e~big"));
    QCOMPARE(Names(dir_->Path()), std::set<std::string>({"e~big"}));
}

void FileWindowJobTest::theBoxesWaitForTheJobAndDropsAreQueued() {
    MakeAttachment(dir_->Path(), "e~a", 100);
    MakeAttachment(dir_->Path(), "e~b", 200);
    SetPaths(*dir_ / "e~a", *dir_ / "a");
    cipher::HeldChunks held;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
    QTRY_VERIFY(held.Holding(1));

    for (const char* name : {"cmdDecode", "txtEFile", "cmdEBrowse", "txtDFile"}) {
        QVERIFY2(!Find<QWidget>(name)->isEnabled(), name);
    }
    QVERIFY(Find<QWidget>("cmdCancel")->isEnabled());
    // A file dropped now waits for the next Decode, behind the file in the box.
    window_->OpenFiles({(*dir_ / "e~b").string()});
    QCOMPARE(Find<QLineEdit>("txtEFile")->text(), Text(*dir_ / "e~a"));
    QCOMPARE(StatusLines().mid(StatusLines().size() - 2),
             QStringList({QStringLiteral("Queued: ") + Text(*dir_ / "e~b"),
                          QStringLiteral("Decode runs the typed file first, then the queue.")}));

    held.Allow(10);
    QVERIFY(testsupport::WaitForJobEnd(*window_));
    for (const char* name : {"cmdDecode", "txtEFile", "cmdEBrowse", "txtDFile"}) {
        QVERIFY2(Find<QWidget>(name)->isEnabled(), name);
    }
    QCOMPARE(ReadFile(*dir_ / "a"), std::string(100, 'x'));
    // The typed file is done: its boxes empty, and the next Decode runs the queue.
    QVERIFY(StatusLines().contains(QStringLiteral("Created file: ") + Text(*dir_ / "a")));
    QVERIFY(Find<QLineEdit>("txtEFile")->text().isEmpty() && Find<QLineEdit>("txtDFile")->text().isEmpty());
    QCOMPARE(Decode(), Boxes());
    QCOMPARE(ReadFile(*dir_ / "b"), std::string(200, 'x'));
}

void FileWindowJobTest::theCloseBoxLetsTheJobGo() {
    MakeAttachment(dir_->Path(), "e~big", 3 * cipher::kChunkSize);
    SetPaths(*dir_ / "e~big", *dir_ / "big");
    cipher::HeldChunks held;  // as a stalled file system holds a write
    const testsupport::MessageBoxRecorder boxes;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
    QTRY_VERIFY(held.Holding(1));

    window_->windowHandle()->close();

    QVERIFY(window_->isHidden());
    QVERIFY(held.Holding(1));
    ShowWindow();
    QVERIFY(!Find<QWidget>("cmdDecode")->isEnabled());  // until the job has gone
    held.Allow(10);
    QVERIFY(testsupport::WaitForJobEnd(*window_));
    QCOMPARE(boxes.Boxes(), Boxes());
    QCOMPARE(Names(dir_->Path()), std::set<std::string>({"e~big"}));
    QVERIFY(StatusLines().isEmpty());
    QVERIFY(Find<QWidget>("prgJob")->isHidden());
}

void FileWindowJobTest::aTypedFileGoesBeforeTheQueueAndCancelLeavesTheRest() {
    for (const char* name : {"e~a", "e~b", "e~c", "e~d"}) {
        MakeAttachment(dir_->Path(), name, 100);
    }
    SetPaths(*dir_ / "e~a", *dir_ / "a");
    window_->OpenFiles({(*dir_ / "e~b").string(), (*dir_ / "e~c").string(), (*dir_ / "e~d").string()});
    cipher::HeldChunks held;
    const testsupport::MessageBoxRecorder boxes;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);

    auto* label = Find<QLabel>("lblJobFile");
    for (int file = 1; file <= 2; ++file) {
        QTRY_VERIFY(held.Holding(file));
        QTRY_COMPARE(label->text(), QStringLiteral("File %1 of 4").arg(file));
        QVERIFY(label->isVisible());
        held.Allow(1);
    }
    QTRY_VERIFY(held.Holding(3));
    QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
    held.Allow(10);
    QVERIFY(testsupport::WaitForJobEnd(*window_));

    QCOMPARE(boxes.Boxes(), Boxes({{QStringLiteral("Unable to Proceed!"),
                                    QStringLiteral("2 of 4 files were not decoded: see the list.")}}));
    const QStringList lines = StatusLines();
    QVERIFY(lines.indexOf(QStringLiteral("Created file: ") + Text(*dir_ / "a")) <
            lines.indexOf(QStringLiteral("Getting file: ") + Text(*dir_ / "e~b")));
    QCOMPARE(lines.mid(lines.size() - 2), QStringList({QStringLiteral("Stopped: ") + Text(*dir_ / "e~c"),
                                                       QStringLiteral("Not started: ") + Text(*dir_ / "e~d")}));
    QVERIFY(!label->isVisible());
    QCOMPARE(Names(dir_->Path()), std::set<std::string>({"a", "b", "e~a", "e~b", "e~c", "e~d"}));
    // The queue is empty again.
    Find<QLineEdit>("txtEFile")->clear();
    QCOMPARE(Decode().value(0).second, QStringLiteral("No Encrypted File Provided!"));
}

void FileWindowJobTest::cancelAfterTheLastChunkKeepsTheFile() {
    MakeAttachment(dir_->Path(), "e~big", 3 * cipher::kChunkSize);
    SetPaths(*dir_ / "e~big", *dir_ / "big");
    // The job waits, its file complete, until the gate opens: 1 while it waits, 2 once open.
    const auto gate = std::make_shared<std::atomic<int>>(0);
    const platform::publish::BeforePublishing hold([gate] {
        *gate = std::max(gate->load(), 1);
        for (int waited = 0; waited < 60000 && *gate != 2; ++waited) {
            std::this_thread::sleep_for(1ms);
        }
    });
    const auto open_gate = qScopeGuard([gate] { *gate = 2; });
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
    QTRY_COMPARE(gate->load(), 1);

    auto* bar = Find<QProgressBar>("prgJob");
    QTRY_COMPARE(bar->value(), bar->maximum());
    QVERIFY(!fs::exists(*dir_ / "big"));
    QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
    *gate = 2;
    QVERIFY(testsupport::WaitForJobEnd(*window_));

    QVERIFY(window_->isVisible());
    QCOMPARE(ReadFile(*dir_ / "big"), std::string(3 * cipher::kChunkSize, 'x'));
    QCOMPARE(StatusLines().filter(QStringLiteral("Stopped: ")), QStringList());
    QVERIFY(StatusLines().contains(QStringLiteral("Created file: ") + Text(*dir_ / "big")));
}

void FileWindowJobTest::aWindowDestroyedMidChunkTakesItsRunAlong() {
    MakeAttachment(dir_->Path(), "e~big", 3 * cipher::kChunkSize);
    SetPaths(*dir_ / "e~big", *dir_ / "big");
    // The second chunk gives way by itself, once the window's end has asked the run to stop.
    cipher::HeldChunks held(300ms);
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
    held.Allow(1);
    QTRY_VERIFY(held.Holding(2));

    window_.reset();
    // Whatever the run had sent, or sent while it ended, must never be delivered now.
    int delivered = 0;
    EventCounter counter([&delivered](const QEvent& event) { delivered += event.type() >= QEvent::User ? 1 : 0; });
    QTest::qWait(100);

    QCOMPARE(delivered, 0);
    QCOMPARE(Names(dir_->Path()), std::set<std::string>({"e~big"}));
}

QTEST_MAIN(FileWindowJobTest)
#include "file_window_job_test.moc"
