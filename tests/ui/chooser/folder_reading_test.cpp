#include "ui/chooser/folder_reading.h"

#include "support/temp_dir.h"
#include "support/unprivileged.h"
#include "ui/chooser/drive_roots.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

void Touch(const std::filesystem::path& path) {
    testsupport::WriteFile(path, "x");
}

}  // namespace

class FolderReadingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void patterns_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("*.* with a dot") << u"*.*"_s << u"mail.txt"_s << true;
        QTest::newRow("*.* without a dot") << u"*.*"_s << u"README"_s << true;
        QTest::newRow("*.* two dots") << u"*.*"_s << u"a.tar.gz"_s << true;
        QTest::newRow("extension") << u"*.txt"_s << u"mail.txt"_s << true;
        QTest::newRow("other extension") << u"*.txt"_s << u"mail.txt.bak"_s << false;
        QTest::newRow("no dot for *.txt") << u"*.txt"_s << u"txt"_s << false;
        QTest::newRow("name.* without a dot") << u"mail.*"_s << u"mail"_s << true;
        QTest::newRow("name.* other name") << u"mail.*"_s << u"mailbox"_s << false;
        QTest::newRow("question mark") << u"e~?.dat"_s << u"e~x.dat"_s << true;
        QTest::newRow("question mark needs one") << u"e~?.dat"_s << u"e~.dat"_s << false;
        QTest::newRow("list, second") << u"*.txt; *.pdf"_s << u"report.pdf"_s << true;
        QTest::newRow("list, neither") << u"*.txt;*.pdf"_s << u"report.doc"_s << false;
        QTest::newRow("empty matches all") << u""_s << u"anything"_s << true;
    }

    void patterns() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(ui::FilePattern(pattern).Matches(name), matches);
    }

    void chainFromTheRoot() {
        QCOMPARE(ui::FolderChain(QStringLiteral("/home/user/../user/mail/")),
                 QStringList({QStringLiteral("/"), QStringLiteral("/home"), QStringLiteral("/home/user"),
                              QStringLiteral("/home/user/mail")}));
        QCOMPARE(ui::FolderChain(QStringLiteral("/")), QStringList({QStringLiteral("/")}));
        QCOMPARE(ui::FolderChain(QString()), QStringList());
    }

    void filesAndFoldersInNameOrderWithoutHiddenOnes() {
        const testsupport::TempDir dir;
        for (const char* name : {"b.txt", "A.txt", "c", ".hidden.txt", "a.txt"}) {
            Touch(dir / name);
        }
        for (const char* name : {"Zeta", "alpha", ".config", "beta"}) {
            std::filesystem::create_directory(dir / name);
        }
        std::filesystem::create_symlink(dir / "b.txt", dir / "link.txt");
        std::filesystem::create_symlink(dir / "gone", dir / "dangling.txt");

        QCOMPARE(ui::ReadFiles(Q(dir.Path()), ui::FilePattern(QStringLiteral("*.*"))),
                 QStringList({"A.txt", "a.txt", "b.txt", "c", "link.txt"}));
        QCOMPARE(ui::ReadFiles(Q(dir.Path()), ui::FilePattern(QStringLiteral("*.txt"))),
                 QStringList({"A.txt", "a.txt", "b.txt", "link.txt"}));
        QCOMPARE(ui::ReadSubfolders(Q(dir.Path())), QStringList({"alpha", "beta", "Zeta"}));
    }

    void foldersThatCannotBeRead() {
        const testsupport::TempDir dir;
        Touch(dir / "file.txt");
        QCOMPARE(ui::ReadFiles(Q(dir / "missing"), ui::FilePattern(QString())), std::nullopt);
        QCOMPARE(ui::ReadSubfolders(Q(dir / "file.txt")), std::nullopt);
        QCOMPARE(ui::ReadSubfolders(QString()), std::nullopt);
    }

    void folderWithoutReadPermission() {
        // Root reads every folder, so this runs as an ordinary user.
        const testsupport::TempDir dir;
        std::filesystem::create_directories(dir / "open" / "sub");
        std::filesystem::create_directories(dir / "shut" / "sub");
        for (const char* path : {"", "open", "open/sub", "shut", "shut/sub"}) {
            testsupport::GiveToUnprivilegedUser(dir / path);
        }
        std::filesystem::permissions(dir / "shut", std::filesystem::perms::none);
        const int result = testsupport::RunUnprivileged([&dir] {
            const bool open_read = ui::ReadSubfolders(Q(dir / "open")) == QStringList({"sub"});
            const bool shut_refused =
                !ui::ReadSubfolders(Q(dir / "shut")) && !ui::ReadFiles(Q(dir / "shut"), ui::FilePattern(QString()));
            return (open_read ? 0 : 1) | (shut_refused ? 0 : 2);
        });
        QCOMPARE(result, 0);
    }

    void rootHolding_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("root");
        QTest::newRow("the root itself") << u"/"_s << u"/"_s;
        QTest::newRow("under the root") << u"/home/user"_s << u"/"_s;
        QTest::newRow("a mount point") << u"/media/usb"_s << u"/media/usb"_s;
        QTest::newRow("under a mount point") << u"/media/usb/mail"_s << u"/media/usb"_s;
        QTest::newRow("a name that only starts alike") << u"/media/usbkey"_s << u"/"_s;
        QTest::newRow("the longest holder") << u"/media/usb/inner/x"_s << u"/media/usb/inner"_s;
    }

    void rootHolding() {
        QFETCH(QString, folder);
        QFETCH(QString, root);
        const QStringList roots = {QStringLiteral("/"), QStringLiteral("/media/usb/inner"),
                                   QStringLiteral("/media/usb")};
        QCOMPARE(ui::RootHolding(folder, roots), root);
    }

    void noRootHolds() { QCOMPARE(ui::RootHolding(u"/home/user"_s, {u"/media/usb"_s}), QString()); }

    void browsableRootsStartWithTheRoot() {
        const QStringList roots = ui::BrowsableRoots();
        QVERIFY(!roots.isEmpty());
        QCOMPARE(roots.first(), QDir::rootPath());
        QCOMPARE(roots.count(QDir::rootPath()), 1);
        QVERIFY(!roots.contains(QStringLiteral("/proc")));
    }
};

QTEST_MAIN(FolderReadingTest)
#include "folder_reading_test.moc"
