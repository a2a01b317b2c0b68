// Files that come to the windows from the desktop: dropped on either window,
// or named on the program's command line, and decoded several at once.
#include "app/attach_file_window.h"
#include "cipher/file_container.h"
#include "platform/scoped_env.h"
#include "support/attachments.h"
#include "support/temp_dir.h"
#include "ui/files/file_window_controls.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/window_driver.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;
using testsupport::KeyStoreIn;
using testsupport::MessageBoxRecorder;
using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::WindowDriver;
using testsupport::WriteFile;
using Box = QPair<QString, QString>;

QString Text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Drags `data` onto `target` and drops it there, as the platform delivers a
// drop: entering first, then dropping at the same place. Gives whether the
// drop was taken.
bool DragAndDrop(QWidget* target, QMimeData& data) {
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// File managers send the paths as text too, which a text box would paste.
bool DropFiles(QWidget* target, const QList<fs::path>& files) {
    QMimeData data;
    QList<QUrl> urls;
    QStringList paths;
    for (const fs::path& file : files) {
        urls.append(QUrl::fromLocalFile(Text(file)));
        paths.append(Text(file));
    }
    data.setUrls(urls);
    data.setText(paths.join(QLatin1Char('\n')));
    return DragAndDrop(target, data);
}

// Writes `plain` to a file named after `name` without its "e~", encrypts it
// under "secret" into `name`, and removes the plain file again.
void MakeAttachment(const TempDir& dir, const std::string& name, const std::string& plain) {
    const fs::path clear = dir / ("clear-" + name);
    WriteFile(clear, plain);
    QCOMPARE(QString::fromStdString(m_Encryption::EncryptFileWithSalt(clear.string(), (dir / name).string(), "secret")),
             QString());
    fs::remove(clear);
}

ui::frmDecodeFile* FileWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::frmDecodeFile*>(widget); window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace

class SeveralFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void oneDroppedFileFillsBothBoxes();
    void threeDroppedFilesAreQueued();
    void aQueueSkipsWhatCannotBeDecoded_data();
    void aQueueSkipsWhatCannotBeDecoded();
    void keyMissingKeepsTheWindowAndItsQueue();
    void aWrongKeyIsNamedOnce_data();
    void aWrongKeyIsNamedOnce();
    void filesDroppedOnTheMainWindowOpenTheAttachmentWindow();
    void textDroppedOnTheMessageBoxIsPasted();
    void filesOnTheCommandLineOpenTheAttachmentWindow();
    void namesAreTakenAsBytesAndShownEscaped_data();
    void namesAreTakenAsBytesAndShownEscaped();

private:
    template <typename Control>
    Control* Find(const char* name) const {
        return testsupport::ControlOf<Control>(*window_, name);
    }
    [[nodiscard]] QStringList StatusLines() const { return testsupport::StatusLinesOf(*window_); }
    void ClickDecode() {
        QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
        QVERIFY(testsupport::WaitForJobEnd(*window_));
    }

    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<ScopedEnv> data_home_;
    QString key_;
    std::unique_ptr<ui::frmDecodeFile> window_;
};

void SeveralFilesTest::init() {
    dir_ = std::make_unique<TempDir>();
    // The provider's key container records of this test alone.
    data_home_ = std::make_unique<ScopedEnv>("XDG_DATA_HOME", (*dir_ / ".data").string());
    key_ = QStringLiteral("secret");
    window_ = std::make_unique<ui::frmDecodeFile>([this] { return key_; });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void SeveralFilesTest::cleanup() {
    window_.reset();
    data_home_.reset();
    dir_.reset();
}

void SeveralFilesTest::oneDroppedFileFillsBothBoxes() {
    MakeAttachment(*dir_, "e~report.pdf", "%PDF-1.4");
    // On the window, and on a text box that would otherwise paste the file's address.
    for (const char* target : {"", "txtDFile"}) {
        Find<QLineEdit>("txtEFile")->setText(QStringLiteral("typed"));
        QWidget* on = *target == '\0' ? static_cast<QWidget*>(window_.get()) : Find<QLineEdit>(target);
        QVERIFY(DropFiles(on, {*dir_ / "e~report.pdf"}));
        QCOMPARE(Find<QLineEdit>("txtEFile")->text(), Text(*dir_ / "e~report.pdf"));
        QCOMPARE(Find<QLineEdit>("txtDFile")->text(), Text(*dir_ / "report.pdf"));
        QVERIFY(StatusLines().isEmpty());
    }

    MessageBoxRecorder boxes;
    ClickDecode();
    QCOMPARE(boxes.Boxes(), QList<Box>());
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "report.pdf")), QStringLiteral("%PDF-1.4"));
}

void SeveralFilesTest::threeDroppedFilesAreQueued() {
    Find<QLineEdit>("txtEFile")->setText(QStringLiteral("left as it was"));
    const QList<fs::path> files = {*dir_ / "e~a.txt", *dir_ / "b.txt", *dir_ / "e~c.txt"};
    QVERIFY(DropFiles(Find<QLineEdit>("txtEFile"), files));
    // The typed file goes first, and the list says so.
    QCOMPARE(StatusLines(),
             QStringList({QStringLiteral("Queued: ") + Text(files[0]), QStringLiteral("Queued: ") + Text(files[1]),
                          QStringLiteral("Queued: ") + Text(files[2]),
                          QStringLiteral("Decode runs the typed file first, then the queue.")}));
    QVERIFY(Find<QListWidget>("lstStatus")->isVisible());
    QCOMPARE(Find<QLineEdit>("txtEFile")->text(), QStringLiteral("left as it was"));
    QVERIFY(Find<QLineEdit>("txtDFile")->text().isEmpty());

    // A web address or a mix is not a file: nothing is taken or queued.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/e~a.txt")), QUrl::fromLocalFile(Text(files[0]))});
    QVERIFY(!DragAndDrop(window_.get(), web));
    // Nor is a name holding a NUL, which would reach the file system cut short.
    QMimeData cut;
    cut.setData(QStringLiteral("text/uri-list"), QUrl::fromLocalFile(Text(files[0])).toEncoded() + "%00.txt\r\n");
    QVERIFY(!DragAndDrop(window_.get(), cut));
    QCOMPARE(StatusLines().size(), 4);
}

void SeveralFilesTest::aQueueSkipsWhatCannotBeDecoded_data() {
    QTest::addColumn<QString>("in_the_way");  // the file that makes one of three fail, or ""
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("all decoded") << QString() << QString() << QStringList();
    QTest::newRow("one destination taken")
        << QStringLiteral("b.txt") << QStringLiteral("File Found With Same Path and Name as Decrypted File Path!")
        << QStringList({QStringLiteral("1 of 3 files was not decoded: see the list.")});
    QTest::newRow("one job fails") << QStringLiteral("e~b.txt")
                                   << QStringLiteral("DecryptError: 9  Subscript out of range")
                                   << QStringList({QStringLiteral("1 of 3 files was not decoded: see the list.")});
}

void SeveralFilesTest::aQueueSkipsWhatCannotBeDecoded() {
    QFETCH(QString, in_the_way);
    QFETCH(QString, reason);
    QFETCH(QStringList, boxes);
    for (const char* name : {"e~a.txt", "e~b.txt", "e~c.txt"}) {
        MakeAttachment(*dir_, name, std::string("clear ") + name);
    }
    if (in_the_way == QStringLiteral("b.txt")) {
        WriteFile(*dir_ / "b.txt", "mine");
    } else if (!in_the_way.isEmpty()) {
        WriteFile(*dir_ / in_the_way.toStdString(), std::string(1, '\x7f'));  // a salt longer than the file
    }
    QVERIFY(DropFiles(window_.get(), {*dir_ / "e~a.txt", *dir_ / "e~b.txt", *dir_ / "e~c.txt"}));

    MessageBoxRecorder recorder;
    ClickDecode();
    QStringList prompts;
    for (const Box& box : recorder.Boxes()) {
        QCOMPARE(box.first, QStringLiteral("Unable to Proceed!"));
        prompts.append(box.second);
    }
    QCOMPARE(prompts, boxes);
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "a.txt")), QStringLiteral("clear e~a.txt"));
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "c.txt")), QStringLiteral("clear e~c.txt"));
    const QStringList lines = StatusLines();
    const QString skipped = QStringLiteral("Skipped: ") + Text(*dir_ / "e~b.txt") + QStringLiteral(": ") + reason;
    QCOMPARE(lines.count(skipped), reason.isEmpty() ? 0 : 1);
    QCOMPARE(lines.count(QStringLiteral("Here we go!")), in_the_way == QStringLiteral("b.txt") ? 2 : 3);
    QCOMPARE(lines.filter(QStringLiteral("Created file: ")).size(), reason.isEmpty() ? 3 : 2);
    if (in_the_way == QStringLiteral("b.txt")) {
        QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "b.txt")), QStringLiteral("mine"));
    }

    // The queue has run: Decode with an empty box refuses as usual again.
    ClickDecode();
    QCOMPARE(recorder.Boxes().last().second, QStringLiteral("No Encrypted File Provided!"));
}

void SeveralFilesTest::keyMissingKeepsTheWindowAndItsQueue() {
    MakeAttachment(*dir_, "e~a.txt", "first");
    MakeAttachment(*dir_, "e~b.txt", "second");
    QVERIFY(DropFiles(window_.get(), {*dir_ / "e~a.txt", *dir_ / "e~b.txt"}));
    MessageBoxRecorder recorder;
    key_ = QStringLiteral("   ");
    ClickDecode();
    QCOMPARE(recorder.Boxes(), QList<Box>({{QStringLiteral("Unable to Proceed!"), QStringLiteral("Key Missing!")}}));
    QVERIFY(window_->isVisible());
    QCOMPARE(StatusLines().size(), 2);
    QVERIFY(!fs::exists(*dir_ / "a.txt"));

    key_ = QStringLiteral("secret");
    ClickDecode();
    QCOMPARE(recorder.Boxes().size(), 1);
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "a.txt")), QStringLiteral("first"));
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / "b.txt")), QStringLiteral("second"));
}

void SeveralFilesTest::aWrongKeyIsNamedOnce_data() {
    QTest::addColumn<int>("files");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("one file") << 1
                              << QStringLiteral(
                                     "The decoded file does not look like any known kind of file. "
                                     "The client key may be wrong.");
    QTest::newRow("a queue of three") << 3
                                      << QStringLiteral(
                                             "3 of 3 decoded files do not look like any known kind of "
                                             "file. The client key may be wrong.");
}

void SeveralFilesTest::aWrongKeyIsNamedOnce() {
    QFETCH(int, files);
    QFETCH(QString, prompt);
    // Noise comes out of these under any key, as under a wrong one.
    QList<fs::path> noise;
    QList<fs::path> text;
    for (int i = 0; i < files; ++i) {
        const std::string name = "file" + std::to_string(i) + ".txt";
        testsupport::WriteNoiseContainer(*dir_ / ("e~" + name), 8192, static_cast<std::uint32_t>(i + 1));
        noise.append(*dir_ / ("e~" + name));
        MakeAttachment(*dir_, "e~text-" + name, std::string(8192, 'x'));
        text.append(*dir_ / ("e~text-" + name));
    }

    MessageBoxRecorder recorder;
    QVERIFY(DropFiles(window_.get(), noise));
    ClickDecode();
    QCOMPARE(recorder.Boxes(), QList<Box>({{QStringLiteral("Check the Key"), prompt}}));
    for (int i = 0; i < files; ++i) {
        // The files stay.
        QCOMPARE(fs::file_size(*dir_ / ("file" + std::to_string(i) + ".txt")), 8192U);
    }
    QCOMPARE(StatusLines().filter(QStringLiteral("Created file: ")).size(), files);

    // The right key's text is never doubted.
    QVERIFY(DropFiles(window_.get(), text));
    ClickDecode();
    QCOMPARE(recorder.Boxes().size(), 1);
    QCOMPARE(StatusLines().filter(QStringLiteral("Created file: ")).size(), 2 * files);
}

void SeveralFilesTest::filesDroppedOnTheMainWindowOpenTheAttachmentWindow() {
    TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    ui::AttachFileWindow(driver.Window());
    MakeAttachment(*dir_, "e~a.txt", "first");
    QVERIFY(FileWindow() == nullptr || FileWindow() == window_.get());

    // Dropped on the key box, where a file's address would otherwise be typed.
    QVERIFY(DropFiles(&driver.ClientKey(), {*dir_ / "e~a.txt"}));
    ui::frmDecodeFile* opened = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::frmDecodeFile*>(widget); window != nullptr && window != window_.get()) {
            opened = window;
        }
    }
    QVERIFY(opened != nullptr);
    QVERIFY(opened->isVisible());
    QCOMPARE(opened->findChild<QLineEdit*>(QStringLiteral("txtEFile"))->text(), Text(*dir_ / "e~a.txt"));
    QCOMPARE(opened->findChild<QLineEdit*>(QStringLiteral("txtDFile"))->text(), Text(*dir_ / "a.txt"));
    QVERIFY(driver.ClientKey().text().isEmpty());

    // A second drop, of two, on the message box reaches the same window's queue.
    QVERIFY(DropFiles(driver.Encrypted().viewport(), {*dir_ / "e~x.txt", *dir_ / "e~y.txt"}));
    // Behind the file that the first drop put in the box.
    QCOMPARE(testsupport::StatusLinesOf(*opened).size(), 3);
    QVERIFY(driver.Encrypted().toPlainText().isEmpty());
}

void SeveralFilesTest::textDroppedOnTheMessageBoxIsPasted() {
    TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    ui::AttachFileWindow(driver.Window());
    QMimeData text;
    text.setText(QStringLiteral("ZQ protected text"));
    QVERIFY(DragAndDrop(driver.Encrypted().viewport(), text));
    QCOMPARE(driver.Encrypted().toPlainText(), QStringLiteral("ZQ protected text"));
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QVERIFY(qobject_cast<ui::frmDecodeFile*>(widget) == nullptr || widget == window_.get());
    }
}

void SeveralFilesTest::filesOnTheCommandLineOpenTheAttachmentWindow() {
    TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    ui::AttachFileWindow(driver.Window());
    ui::OpenCommandLineFiles(driver.Window(), {});
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QVERIFY(qobject_cast<ui::frmDecodeFile*>(widget) == nullptr || widget == window_.get());
    }

    // Names relative to the current folder arrive whole.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(Text(dir_->Path())));
    ui::OpenCommandLineFiles(driver.Window(), {"e~a.txt", "./sub/../b.txt", (*dir_ / "e~c.txt").string()});
    QVERIFY(QDir::setCurrent(previous));
    ui::frmDecodeFile* opened = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::frmDecodeFile*>(widget); window != nullptr && window != window_.get()) {
            opened = window;
        }
    }
    QVERIFY(opened != nullptr && opened->isVisible());
    QCOMPARE(testsupport::StatusLinesOf(*opened), QStringList({QStringLiteral("Queued: ") + Text(*dir_ / "e~a.txt"),
                                                               QStringLiteral("Queued: ") + Text(*dir_ / "b.txt"),
                                                               QStringLiteral("Queued: ") + Text(*dir_ / "e~c.txt")}));
}

void SeveralFilesTest::namesAreTakenAsBytesAndShownEscaped_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("dropped");  // else named on the command line
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("queued");  // else it fills the boxes
    const QByteArray latin1 = "e~r\xE9sum\xE9.txt";
    QTest::newRow("not UTF-8, named") << latin1 << false << QStringLiteral("e~r\\xE9sum\\xE9.txt") << true;
    QTest::newRow("not UTF-8, dropped") << latin1 << true << QStringLiteral("e~r\\xE9sum\\xE9.txt") << true;
    QTest::newRow("a line break") << QByteArray("e~a\nb.txt") << false << QStringLiteral("e~a\\x0Ab.txt") << false;
    QTest::newRow("a space at the end") << QByteArray("e~a.txt ") << true << QStringLiteral("e~a.txt ") << true;
    QTest::newRow("a right-to-left override")
        << QByteArray("e~b\u202Efdp.exe") << false << QStringLiteral("e~b\\u{202E}fdp.exe") << true;
}

void SeveralFilesTest::namesAreTakenAsBytesAndShownEscaped() {
    QFETCH(QByteArray, name);
    QFETCH(bool, dropped);
    QFETCH(QString, shown);
    QFETCH(bool, queued);
    window_->hide();  // so that FileWindow() finds the one the main window opens
    MakeAttachment(*dir_, name.toStdString(), "clear bytes");
    const std::string path = (*dir_ / name.toStdString()).string();
    TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    driver.ClientKey().setText(QStringLiteral("secret"));
    ui::AttachFileWindow(driver.Window());
    if (dropped) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"),
                     "file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
        QVERIFY(DragAndDrop(&driver.ClientKey(), data));
    } else {
        ui::OpenCommandLineFiles(driver.Window(), {path});
    }
    ui::frmDecodeFile* opened = FileWindow();
    QVERIFY(opened != nullptr && opened != window_.get());
    const QString folder = Text(dir_->Path()) + QLatin1Char('/');
    const QString box = queued ? QString() : QString::fromStdString(path);
    QCOMPARE(testsupport::ControlOf<QLineEdit>(*opened, "txtEFile")->text(), box);
    QCOMPARE(testsupport::StatusLinesOf(*opened),
             queued ? QStringList({QStringLiteral("Queued: ") + folder + shown}) : QStringList());

    MessageBoxRecorder recorder;
    QTest::mouseClick(testsupport::ControlOf<QPushButton>(*opened, "cmdDecode"), Qt::LeftButton);
    QVERIFY(testsupport::WaitForJobEnd(*opened));
    QCOMPARE(recorder.Boxes(), QList<Box>());
    QCOMPARE(QString::fromStdString(ReadFile(*dir_ / name.mid(2).toStdString())), QStringLiteral("clear bytes"));
    const QStringList lines = testsupport::StatusLinesOf(*opened);
    QVERIFY2(lines.contains(QStringLiteral("Getting file: ") + folder + shown), qPrintable(lines.join(u'|')));
    QVERIFY(lines.contains(QStringLiteral("Created file: ") + folder + shown.mid(2)));
}

QTEST_MAIN(SeveralFilesTest)
#include "several_files_test.moc"
