// The attachment window when the disk, the file system or another program
// works against a job: each failure is shown, and no file other than the
// destination named is ever created, changed or removed.
#include "support/unprivileged.h"
#include "support/writer_faults.h"
#include "test_paths.h"
#include "ui/files/file_window_fixture.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

const fs::path kVectors = fs::path(testsupport::kDataDir) / "vectors";
const QString kKey = QStringLiteral("secret");

// Every name in `folder` with its content ("<folder>", "<fifo>" or "-> target" for
// those that are no regular file), to see that nothing else was touched.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink()) {
            entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            entries[name] = "<folder>";
        } else if (entry.is_fifo()) {
            entries[name] = "<fifo>";
        } else {
            entries[name] = ReadFile(entry.path());
        }
    }
    return entries;
}

// Runs `body` in a child process with the same window (a file-size limit
// must not outlive the case); true when it returned true.
bool InChild(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        bool passed = false;
        try {
            passed = body();
        } catch (...) {
        }
        ::_exit(passed ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

class FileWindowFaultTest : public QObject, testsupport::FileWindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void aFullDiskIsShownAndLeavesNoFile();
    void aSourceThatVanishesAfterTheCheckIsShown();
    void aFileThatAppearsDuringTheJobIsKept();
    void aReadOnlyDestinationFolderIsShownAndLeftAlone();
    void oddDestinationsTouchNoOtherFile_data();
    void oddDestinationsTouchNoOtherFile();
};

void FileWindowFaultTest::init() {
    OpenWindow(kKey);
}

void FileWindowFaultTest::cleanup() {
    CloseWindow();
}

void FileWindowFaultTest::aFullDiskIsShownAndLeavesNoFile() {
    // Big enough that the plain file passes the limit part way.
    const std::string plain(1 << 20, 'p');
    WriteFile(*dir_ / "plain", plain);
    QCOMPARE(window_->DoEncryptFile((*dir_ / "plain").string(), (*dir_ / "big.zq").string(), kKey.toStdString()),
             std::string());
    fs::remove(*dir_ / "plain");
    const auto before = Snapshot(dir_->Path());
    SetPaths(*dir_ / "big.zq", *dir_ / "out");

    QVERIFY(InChild([this] {
        // Writing past this limit fails with EFBIG, as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 << 10, 64 << 10};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return false;
        }
        const auto boxes = Decode();
        return boxes.size() == 1 && boxes.at(0).first == QStringLiteral("Error!") &&
               boxes.at(0).second == QStringLiteral("Error Decoding File!\r\nDecryptError: 61  Disk full");
    }));
    QCOMPARE(Snapshot(dir_->Path()), before);
}

void FileWindowFaultTest::aSourceThatVanishesAfterTheCheckIsShown() {
    WriteFile(*dir_ / "source.zq", ReadFile(kVectors / "hello.zq"));
    SetPaths(*dir_ / "source.zq", *dir_ / "out");
    // The job's first line is logged after the checks and before the job opens the source.
    auto* status = Find<QListWidget>("lstStatus");
    connect(status->model(), &QAbstractItemModel::rowsInserted, this, [this] { fs::remove(*dir_ / "source.zq"); });

    const auto boxes = Decode();

    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).second, QStringLiteral("Error Decoding File!\r\nDecryptError: 53  File not found"));
    QVERIFY(fs::is_empty(dir_->Path()));
}

void FileWindowFaultTest::aFileThatAppearsDuringTheJobIsKept() {
    WriteFile(*dir_ / "source.zq", ReadFile(kVectors / "hello.zq"));
    SetPaths(*dir_ / "source.zq", *dir_ / "out");
    // Another program takes the name after the checks, while the job runs.
    const platform::publish::BeforePublishing appear([this] { WriteFile(*dir_ / "out", "mine"); });

    const auto boxes = Decode();

    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).second, QStringLiteral("Error Decoding File!\r\nDecryptError: 58  File already exists"));
    QCOMPARE(ReadFile(*dir_ / "out"), std::string("mine"));
    auto* status = Find<QListWidget>("lstStatus");
    QCOMPARE(status->count(), 3);
    QVERIFY(status->item(2)->text().startsWith(QStringLiteral("Decrypting file: ")));
    QCOMPARE(Snapshot(dir_->Path()).size(), std::size_t{2});
}

void FileWindowFaultTest::aReadOnlyDestinationFolderIsShownAndLeftAlone() {
    const fs::path locked = *dir_ / "locked";
    fs::create_directory(locked);
    WriteFile(locked / "other", "other file");
    WriteFile(*dir_ / "source.zq", ReadFile(kVectors / "hello.zq"));
    for (const fs::path& path : {dir_->Path(), locked, locked / "other", *dir_ / "source.zq"}) {
        testsupport::GiveToUnprivilegedUser(path);
    }
    fs::permissions(locked,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    SetPaths(*dir_ / "source.zq", locked / "out");

    const int result = testsupport::RunUnprivileged([this] {
        ::setenv("XDG_DATA_HOME", (*dir_ / "data").c_str(), 1);
        const auto boxes = Decode();
        return boxes.size() == 1 && boxes.at(0).second ==
                                        QStringLiteral("Error Decoding File!\r\nDecryptError: 70  Permission denied")
                   ? 0
                   : 1;
    });
    QCOMPARE(result, 0);
    QCOMPARE(Snapshot(locked), (std::map<std::string, std::string>{{"other", "other file"}}));
}

void FileWindowFaultTest::oddDestinationsTouchNoOtherFile_data() {
    QTest::addColumn<QString>("dest");
    QTest::addColumn<QString>("error");
    // Any name already there refuses the job before it starts; the file a link points to is never created.
    QTest::newRow("a folder") << "folder"
                              << "File Found With Same Path and Name as Decrypted File Path!";
    QTest::newRow("a dangling link") << "dangling"
                                     << "File Found With Same Path and Name as Decrypted File Path!";
    QTest::newRow("a FIFO") << "fifo"
                            << "File Found With Same Path and Name as Decrypted File Path!";
    QTest::newRow("a star") << "*.txt"
                            << "";
    QTest::newRow("a question mark") << "a?.txt"
                                     << "";
    QTest::newRow("brackets") << "[ab].txt"
                              << "";
}

void FileWindowFaultTest::oddDestinationsTouchNoOtherFile() {
    QFETCH(QString, dest);
    QFETCH(QString, error);
    const fs::path work = *dir_ / "work";
    fs::create_directory(work);
    fs::create_directory(work / "folder");
    WriteFile(work / "folder" / "inside.txt", "inside");
    fs::create_symlink(*dir_ / "target", work / "dangling");
    QCOMPARE(::mkfifo((work / "fifo").c_str(), 0600), 0);
    for (const char* name : {"a.txt", "b.txt", "ab.txt", "a.bin"}) {
        WriteFile(work / name, name);
    }
    WriteFile(*dir_ / "source.zq", ReadFile(kVectors / "hello.zq"));
    auto expected = Snapshot(work);
    const fs::path dest_path = work / dest.toStdString();
    SetPaths(*dir_ / "source.zq", dest_path);

    const auto boxes = Decode();

    if (error.isEmpty()) {
        QCOMPARE(boxes.size(), 0);
        expected[dest.toStdString()] = ReadFile(kVectors / "hello.plain");
    } else {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.at(0).second, error);
    }
    QCOMPARE(Snapshot(work), expected);
    QVERIFY(fs::is_fifo(work / "fifo"));
    QCOMPARE(ReadFile(work / "folder" / "inside.txt"), std::string("inside"));
    QVERIFY(!fs::exists(*dir_ / "target"));
}

QTEST_MAIN(FileWindowFaultTest)
#include "file_window_fault_test.moc"
