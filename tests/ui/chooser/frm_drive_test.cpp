#include "ui/chooser/frm_drive.h"

#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/support/chooser_test_support.h"
#include "ui/support/find_control.h"
#include "ui/support/modal_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace testsupport;

namespace {

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

// Shows the chooser as Browse does and hands the open window to `act`.
[[nodiscard]] bool Browse(ui::frmDrive& chooser, const std::function<void(QDialog&)>& act) {
    return WithModalDialog(
        [&chooser] {
            chooser.ExGetFile(QStringLiteral("Encrypted File"), QStringLiteral(" All Files"), QStringLiteral("*.*"),
                              QStringLiteral("C:\\"));
        },
        act);
}

void Click(QDialog& dialog, const char* button) {
    QTest::mouseClick(&Find<QPushButton>(dialog, button), Qt::LeftButton);
}

// The chooser's answer: whether a file (not a folder) was chosen, and its name.
void ExpectAnswer(const ui::frmDrive& chooser, bool file_chosen, const QString& name) {
    QCOMPARE(chooser.bMatch, ui::Variant(file_chosen));
    QCOMPARE(chooser.sFileName, ui::Variant(name));
}

// Gives `control` the focus, as Tab would, and presses `key` there.
void PressOn(QDialog& dialog, const QString& control, Qt::Key key) {
    auto& widget = Find<QWidget>(dialog, control);
    widget.setFocus();
    QCOMPARE(QApplication::focusWidget(), &widget);
    QTest::keyClick(&widget, key);
}

}  // namespace

class FrmDriveTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString folder_;

    [[nodiscard]] QString In(const QString& name) const { return Shown(folder_ + u'/' + name); }

    // Shows the chooser on the test folder, clicks a.dat as a user would, and
    // hands the window on to `act`.
    [[nodiscard]] bool BrowseWithAFileClicked(ui::frmDrive& chooser, const std::function<void(QDialog&)>& act) {
        chooser.sFolderName = folder_;
        return Browse(chooser, [&act](QDialog& dialog) {
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), QStringLiteral("a.dat")));
            act(dialog);
        });
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        folder_ = Shown(dir_.path() + QStringLiteral("/mail"));
        QVERIFY(QDir().mkpath(folder_ + QStringLiteral("/sub")));
        Touch(In(QStringLiteral("b.txt")));
        Touch(In(QStringLiteral("a.dat")));
        Touch(In(QStringLiteral("sub/inner.txt")));
    }

    void cleanup() { QVERIFY(QDir(folder_).removeRecursively()); }

    void fieldsStartEmpty() {
        const ui::frmDrive chooser;
        QVERIFY(!chooser.bCanceled);
        QVERIFY(chooser.bMatch.IsEmpty());
        QVERIFY(chooser.sFileName.IsEmpty());
        QVERIFY(chooser.sFolderName.IsEmpty());
    }

    void untypedFieldsReadAsTheirValue_data() {
        QTest::addColumn<ui::Variant>("value");
        QTest::addColumn<bool>("as_bool");
        QTest::addColumn<QString>("as_text");
        QTest::newRow("Empty") << ui::Variant() << false << QString();
        QTest::newRow("True") << ui::Variant(true) << true << QStringLiteral("True");
        QTest::newRow("False") << ui::Variant(false) << false << QStringLiteral("False");
        QTest::newRow("a path") << ui::Variant(QStringLiteral("/tmp")) << false << QStringLiteral("/tmp");
    }

    void untypedFieldsReadAsTheirValue() {
        QFETCH(ui::Variant, value);
        QFETCH(bool, as_bool);
        QFETCH(QString, as_text);
        QCOMPARE(value.ToBool(), as_bool);
        QCOMPARE(value.ToText(), as_text);
        QCOMPARE(value.IsEmpty(), QTest::currentDataTag() == QByteArrayLiteral("Empty"));
    }

    void okWithoutTouchingAnything() {
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [this](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Encrypted File"));
            QCOMPARE(Find<QGroupBox>(dialog, "fraDrive").title(), QStringLiteral(" All Files"));
            QCOMPARE(Find<QLineEdit>(dialog, "txtFileType").text(), QStringLiteral("*.*"));
            QVERIFY(!Find<QLineEdit>(dialog, "txtFileType").isEnabled());
            QCOMPARE(Find<QLineEdit>(dialog, "txtFilename").text(), folder_);
            QCOMPARE(QApplication::focusWidget(), &Find<ui::DriveListBox>(dialog, "drvDrive"));
            Click(dialog, "cmdOk");
        }));
        QVERIFY(!chooser.bCanceled);
        ExpectAnswer(chooser, false, folder_);
        QCOMPARE(chooser.sFolderName, ui::Variant(folder_));
    }

    void clickOnAFile() {
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [this](QDialog& dialog) {
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), QStringLiteral("b.txt")));
            QCOMPARE(Find<QLineEdit>(dialog, "txtFilename").text(), In(QStringLiteral("b.txt")));
            Click(dialog, "cmdOk");
        }));
        ExpectAnswer(chooser, true, In(QStringLiteral("b.txt")));
    }

    void fileInTheRoot() {
        // A file of our own in the root when we may write there (CI runs as root), else any file there.
        QTemporaryFile own(QDir::rootPath() + QStringLiteral("zq-chooser-XXXXXX.txt"));
        QString name;
        if (own.open()) {
            name = QFileInfo(own.fileName()).fileName();
        } else {
            const QStringList files = QDir::root().entryList(QDir::Files);
            if (files.isEmpty()) {
                QSKIP("the root folder holds no file and cannot be written");
            }
            name = files.first();
        }
        ui::frmDrive chooser;
        chooser.sFolderName = QDir::rootPath();
        QVERIFY(Browse(chooser, [&name](QDialog& dialog) {
            QCOMPARE(Find<QLineEdit>(dialog, "txtFilename").text(), Shown(QDir::rootPath()));
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), name));
            Click(dialog, "cmdOk");
        }));
        QCOMPARE(chooser.sFileName, ui::Variant(Shown(QDir::rootPath() + name)));
    }

    void editOfTheNameBoxAfterAClick() {
        ui::frmDrive chooser;
        QVERIFY(BrowseWithAFileClicked(chooser, [](QDialog& dialog) {
            auto& name_box = Find<QLineEdit>(dialog, "txtFilename");
            name_box.selectAll();
            QTest::keyClicks(&name_box, QStringLiteral("typed name"));
            Click(dialog, "cmdOk");
        }));
        ExpectAnswer(chooser, true, QStringLiteral("typed name"));
    }

    void folderChangeAfterAClick() {
        ui::frmDrive chooser;
        QVERIFY(BrowseWithAFileClicked(chooser, [this](QDialog& dialog) {
            QVERIFY(DoubleClickEntry(Find<ui::FolderListBox>(dialog, "dirDrive"), QStringLiteral("sub")));
            QCOMPARE(Find<QLineEdit>(dialog, "txtFilename").text(), In(QStringLiteral("sub")));
            Click(dialog, "cmdOk");
        }));
        ExpectAnswer(chooser, false, In(QStringLiteral("sub")));
        QCOMPARE(chooser.sFolderName, ui::Variant(In(QStringLiteral("sub"))));
    }

    void singleClickOnAFolderKeepsTheFile() {
        ui::frmDrive chooser;
        QVERIFY(BrowseWithAFileClicked(chooser, [this](QDialog& dialog) {
            QVERIFY(ClickEntry(Find<ui::FolderListBox>(dialog, "dirDrive"), QStringLiteral("sub")));
            QCOMPARE(Find<ui::FolderListBox>(dialog, "dirDrive").Path(), folder_);
            Click(dialog, "cmdOk");
        }));
        ExpectAnswer(chooser, true, In(QStringLiteral("a.dat")));
    }

    void escapeFromEachControl_data() {
        QTest::addColumn<QString>("control");
        for (const char* name : {"drvDrive", "dirDrive", "filDrive", "txtFilename", "cmdOk", "cmdCancel"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void escapeFromEachControl() {
        QFETCH(QString, control);
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [&control](QDialog& dialog) { PressOn(dialog, control, Qt::Key_Escape); }));
        QVERIFY(chooser.bCanceled);
    }

    void enterDoesNotAccept_data() {
        QTest::addColumn<QString>("control");
        for (const char* name : {"drvDrive", "dirDrive", "filDrive", "txtFilename"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void enterDoesNotAccept() {
        QFETCH(QString, control);
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [&control](QDialog& dialog) {
            PressOn(dialog, control, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            Click(dialog, "cmdCancel");
        }));
        QVERIFY(chooser.bCanceled);
    }

    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("canceled");
        QTest::newRow("cmdOk") << QStringLiteral("cmdOk") << false;
        QTest::newRow("cmdCancel") << QStringLiteral("cmdCancel") << true;
    }

    void enterPressesTheFocusedButton() {
        QFETCH(QString, button);
        QFETCH(bool, canceled);
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [&button](QDialog& dialog) { PressOn(dialog, button, Qt::Key_Return); }));
        QCOMPARE(chooser.bCanceled, canceled);
    }

    void closeBoxCancels() {
        ui::frmDrive chooser;
        QVERIFY(BrowseWithAFileClicked(chooser, [](QDialog& dialog) { dialog.close(); }));
        QVERIFY(chooser.bCanceled);
    }

    void secondShowingOpensAtTheLastFolder() {
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [](QDialog& dialog) {
            QVERIFY(DoubleClickEntry(Find<ui::FolderListBox>(dialog, "dirDrive"), QStringLiteral("sub")));
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), QStringLiteral("inner.txt")));
            Click(dialog, "cmdCancel");
        }));
        QVERIFY(chooser.bCanceled);
        QCOMPARE(chooser.sFolderName, ui::Variant(In(QStringLiteral("sub"))));

        QVERIFY(Browse(chooser, [this](QDialog& dialog) {
            QCOMPARE(Find<ui::FolderListBox>(dialog, "dirDrive").Path(), In(QStringLiteral("sub")));
            QCOMPARE(Find<ui::FileListBox>(dialog, "filDrive").FileName(), QString());
            Click(dialog, "cmdOk");
        }));
        QVERIFY(!chooser.bCanceled);
        ExpectAnswer(chooser, false, In(QStringLiteral("sub")));
    }

    void startFolderThatCannotBeReached_data() {
        QTest::addColumn<ui::Variant>("start");
        QTest::newRow("Empty") << ui::Variant();
        QTest::newRow("missing") << ui::Variant(QStringLiteral("/no/such/folder/here"));
        QTest::newRow("a file") << ui::Variant(QStringLiteral("b.txt"));
    }

    void startFolderThatCannotBeReached() {
        QFETCH(ui::Variant, start);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_ + QStringLiteral("/sub")));
        ui::frmDrive chooser;
        chooser.sFolderName = start;
        const bool shown = Browse(chooser, [](QDialog& dialog) { Click(dialog, "cmdOk"); });
        QVERIFY(QDir::setCurrent(previous));
        QVERIFY(shown);
        QCOMPARE(chooser.sFolderName, ui::Variant(In(QStringLiteral("sub"))));
    }

    void drivesThatCanAndCannotBeRead() {
        QTemporaryDir other;
        const QString missing = Shown(dir_.path() + QStringLiteral("/unplugged"));
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [&](QDialog& dialog) {
            auto& drives = Find<ui::DriveListBox>(dialog, "drvDrive");
            auto& folders = Find<ui::FolderListBox>(dialog, "dirDrive");
            drives.SetDrives({QDir::rootPath(), missing});
            QVERIFY(drives.SetDrive(folders.Path()));
            QTest::keyClick(&drives, Qt::Key_Down);
            QCOMPARE(drives.Drive(), Shown(QDir::rootPath()));
            QCOMPARE(folders.Path(), folder_);

            drives.SetDrives({QDir::rootPath(), Shown(other.path())});
            QTest::keyClick(&drives, Qt::Key_Down);
            QCOMPARE(drives.Drive(), Shown(other.path()));
            QCOMPARE(folders.Path(), Shown(other.path()));
            QCOMPARE(Find<QLineEdit>(dialog, "txtFilename").text(), Shown(other.path()));
            Click(dialog, "cmdOk");
        }));
        QCOMPARE(chooser.sFolderName, ui::Variant(Shown(other.path())));
    }

    void layoutAndTabOrder_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("place");
        QTest::newRow("fraDrive") << QStringLiteral("fraDrive") << QRect(8, 32, 401, 281);
        QTest::newRow("drvDrive") << QStringLiteral("drvDrive") << QRect(16, 16, 377, 21);
        QTest::newRow("dirDrive") << QStringLiteral("dirDrive") << QRect(16, 40, 377, 92);
        QTest::newRow("filDrive") << QStringLiteral("filDrive") << QRect(16, 144, 377, 32);
        QTest::newRow("lblFile") << QStringLiteral("lblFile") << QRect(16, 192, 49, 17);
        QTest::newRow("txtFilename") << QStringLiteral("txtFilename") << QRect(16, 208, 377, 19);
        QTest::newRow("lblFiletype") << QStringLiteral("lblFiletype") << QRect(16, 232, 57, 17);
        QTest::newRow("txtFileType") << QStringLiteral("txtFileType") << QRect(16, 248, 201, 19);
        QTest::newRow("cmdOk") << QStringLiteral("cmdOk") << QRect(328, 272, 73, 25);
        QTest::newRow("cmdCancel") << QStringLiteral("cmdCancel") << QRect(240, 272, 73, 25);
    }

    void layoutAndTabOrder() {
        QFETCH(QString, control);
        QFETCH(QRect, place);
        ui::frmDrive chooser;
        chooser.sFolderName = folder_;
        QVERIFY(Browse(chooser, [&](QDialog& dialog) {
            QCOMPARE(dialog.size(), QSize(420, 325));
            QCOMPARE(Find<QWidget>(dialog, control).geometry(), place);
            QCOMPARE(Find<QPushButton>(dialog, "cmdOk").text(), QStringLiteral("&OK"));
            QCOMPARE(Find<QPushButton>(dialog, "cmdCancel").text(), QStringLiteral("&Cancel"));
            QStringList visited;
            for (int step = 0; step < 6; ++step) {
                visited.append(QApplication::focusWidget()->objectName());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(visited, QStringList({QStringLiteral("drvDrive"), QStringLiteral("dirDrive"),
                                           QStringLiteral("filDrive"), QStringLiteral("txtFilename"),
                                           QStringLiteral("cmdOk"), QStringLiteral("cmdCancel")}));
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("drvDrive"));
            Click(dialog, "cmdCancel");
        }));
    }
};

QTEST_MAIN(FrmDriveTest)
#include "frm_drive_test.moc"
