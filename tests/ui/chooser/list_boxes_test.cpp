#include "support/temp_dir.h"
#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/support/chooser_test_support.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace Qt::StringLiterals;
using namespace testsupport;

namespace {

QStringList Entries(const QListWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) {
        texts.append(list.item(row)->text());
    }
    return texts;
}

}  // namespace

class ListBoxesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> dir_;
    QString top_;  // <temp>/top, holding "alpha", "Beta", ".hidden", the files and "alpha/inner"

    [[nodiscard]] QString In(const QString& name) const { return Shown(top_ + u'/' + name); }

    // Shows a list box on screen, as the chooser does, so that clicks land on its entries.
    static void Show(QWidget& list) {
        list.resize(300, 400);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<testsupport::TempDir>();
        top_ = Shown(QString::fromStdString((dir_->Path() / "top").string()));
        for (const char* folder : {"alpha/inner", "Beta", ".hidden"}) {
            std::filesystem::create_directories(dir_->Path() / "top" / folder);
        }
        for (const char* file : {"b.txt", "a.txt", "alpha/x.txt"}) {
            testsupport::WriteFile(dir_->Path() / "top" / file, "x");
        }
    }

    void cleanup() { dir_.reset(); }

    void folderListShowsTheWayDownThenTheSubfolders() {
        ui::FolderListBox list;
        QVERIFY(list.SetPath(top_));
        const QStringList chain = QDir::fromNativeSeparators(top_).split(u'/', Qt::SkipEmptyParts);
        const QStringList expected = QStringList(QDir::rootPath()) + chain + QStringList({u"alpha"_s, u"Beta"_s});
        QCOMPARE(Entries(list), expected);
        QCOMPARE(list.SelectedPath(), top_);
    }

    void folderListArrowSelectsEnterOpens() {
        ui::FolderListBox list;
        QVERIFY(list.SetPath(top_));
        Show(list);
        QSignalSpy clicks(&list, &ui::FolderListBox::Click);
        QSignalSpy changes(&list, &ui::FolderListBox::Change);

        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.Path(), top_);
        QCOMPARE(changes.count(), 0);

        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.Path(), Shown(top_ + u"/.."_s));
        QCOMPARE(changes.count(), 1);
    }

    void folderListRefusesWhatItCannotRead_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << u"missing"_s;
        QTest::newRow("a file") << u"a.txt"_s;
    }

    void folderListRefusesWhatItCannotRead() {
        QFETCH(QString, name);
        ui::FolderListBox list;
        QVERIFY(list.SetPath(top_));
        const QStringList before = Entries(list);
        QSignalSpy changes(&list, &ui::FolderListBox::Change);
        QVERIFY(!list.SetPath(In(name)));
        QCOMPARE(list.Path(), top_);
        QCOMPARE(Entries(list), before);
        QCOMPARE(changes.count(), 0);
    }

    void fileListSelectionFollowsTheFolder() {
        ui::FileListBox list;
        QVERIFY(list.SetPath(top_));
        Show(list);
        QCOMPARE(Entries(list), QStringList({u"a.txt"_s, u"b.txt"_s}));
        QCOMPARE(list.FileName(), QString());

        QSignalSpy clicks(&list, &ui::FileListBox::Click);
        QVERIFY(ClickEntry(list, u"b.txt"_s));
        QCOMPARE(list.FileName(), u"b.txt"_s);
        QCOMPARE(clicks.count(), 1);
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.FileName(), u"a.txt"_s);
        QCOMPARE(clicks.count(), 2);

        QVERIFY(list.SetPath(top_ + u'/'));
        QCOMPARE(list.FileName(), u"a.txt"_s);
        QVERIFY(list.SetPath(In(u"alpha"_s)));
        QCOMPARE(list.FileName(), QString());
        QVERIFY(!list.SetPath(In(u"missing"_s)));
        QCOMPARE(list.Path(), In(u"alpha"_s));
        QCOMPARE(Entries(list), QStringList({u"x.txt"_s}));
    }

    void fileListClickBelowTheEntriesKeepsTheSelection() {
        ui::FileListBox list;
        QVERIFY(list.SetPath(top_));
        Show(list);
        QVERIFY(ClickEntry(list, u"a.txt"_s));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 5));
        QCOMPARE(list.FileName(), u"a.txt"_s);
    }

    void fileListRefreshKeepsASelectionThatIsStillThere() {
        ui::FileListBox list;
        QVERIFY(list.SetPath(top_));
        Show(list);
        QVERIFY(ClickEntry(list, u"b.txt"_s));
        testsupport::WriteFile(dir_->Path() / "top" / "c.txt", "x");
        list.Refresh();
        QCOMPARE(Entries(list), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
        QCOMPARE(list.FileName(), u"b.txt"_s);

        std::filesystem::remove(dir_->Path() / "top" / "b.txt");
        list.Refresh();
        QCOMPARE(Entries(list), QStringList({u"a.txt"_s, u"c.txt"_s}));
        QCOMPARE(list.FileName(), QString());
    }

    void driveListChangeFiresOnlyForTheUsersChoice() {
        ui::DriveListBox drives;
        drives.SetDrives({QDir::rootPath(), top_});
        QSignalSpy changes(&drives, &ui::DriveListBox::Change);

        QVERIFY(drives.SetDrive(In(u"alpha/inner"_s)));
        QCOMPARE(drives.Drive(), top_);
        QVERIFY(drives.SetDrive(Shown(QString::fromStdString(dir_->Path().string()))));
        QCOMPARE(drives.Drive(), QDir::rootPath());
        QCOMPARE(changes.count(), 0);

        QTest::keyClick(&drives, Qt::Key_Down);
        QCOMPARE(drives.Drive(), top_);
        QCOMPARE(changes.count(), 1);
    }
};

QTEST_MAIN(ListBoxesTest)
#include "list_boxes_test.moc"
