#include "ui/files/browse.h"

#include "jobs/decrypt_beside.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/files/frm_decode_file.h"
#include "ui/message_box.h"
#include "ui/support/chooser_test_support.h"
#include "ui/support/find_control.h"
#include "ui/support/modal_dialog.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace testsupport;

class BrowseTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    QString desktop_;
    QByteArray saved_home_;
    QByteArray saved_config_;
    std::unique_ptr<ui::frmDecodeFile> window_;

    QLineEdit& Box(const char* name) { return Find<QLineEdit>(*window_, name); }

    // Presses Browse and lets `act` work the chooser it opens.
    [[nodiscard]] bool Browse(const std::function<void(QDialog&)>& act) {
        return WithModalDialog(
            [this] { QTest::mouseClick(&Find<QPushButton>(*window_, "cmdEBrowse"), Qt::LeftButton); }, act);
    }

    void Ok(QDialog& dialog) { QTest::mouseClick(&Find<QPushButton>(dialog, "cmdOk"), Qt::LeftButton); }

    void AddToDesktop(const QString& name) {
        QFile file(desktop_ + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private Q_SLOTS:
    void init() {
        // The desktop is looked up afresh for every Browse, so a home of our own gives each test its own.
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        desktop_ = Shown(home_->path() + u"/Desktop"_s);
        QVERIFY(QDir().mkpath(desktop_));
        saved_home_ = qgetenv("HOME");
        saved_config_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home_->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_->path() + u"/.config"_s));
        window_ = std::make_unique<ui::frmDecodeFile>([] { return QString(); });
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        window_.reset();
        qputenv("HOME", saved_home_);
        qputenv("XDG_CONFIG_HOME", saved_config_);
        home_.reset();
    }

    void proposalOnTheOtherPlatformsSeparator_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("e~ prefix") << uR"(C:\Mail\e~report.pdf)"_s << uR"(C:\Mail\report.pdf)"_s;
        QTest::newRow("no prefix") << uR"(C:\Mail\report.pdf)"_s << uR"(C:\Mail\DECODEDreport.pdf)"_s;
        QTest::newRow("upper-case E~") << uR"(C:\Mail\E~report.pdf)"_s << uR"(C:\Mail\DECODEDE~report.pdf)"_s;
        QTest::newRow("e~x.dat") << uR"(C:\In\e~x.dat)"_s << uR"(C:\In\x.dat)"_s;
        QTest::newRow("x.dat") << uR"(C:\In\x.dat)"_s << uR"(C:\In\DECODEDx.dat)"_s;
        QTest::newRow("empty") << QString() << uR"(\DECODED)"_s;
        QTest::newRow("no such file, long extension")
            << uR"(C:\Mail\e~notes.html)"_s << uR"(C:\Mail\e~notes.html\notes.html)"_s;
        QTest::newRow("no such file, no dot") << uR"(C:\Mail\e~notes)"_s << uR"(C:\Mail\e~notes\DECODED)"_s;
        QTest::newRow("typed e~ name alone") << u"e~notes"_s << uR"(e~notes\)"_s;
    }

    void proposalOnTheOtherPlatformsSeparator() {
        QFETCH(QString, chosen);
        QFETCH(QString, proposal);
        QCOMPARE(QString::fromStdString(m_Decoder::ProposedDestination(chosen.toStdString(), '\\')), proposal);
    }

    void chosenFileFillsBothBoxes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("e~ prefix") << u"e~report.pdf"_s << u"report.pdf"_s;
        QTest::newRow("no prefix") << u"report.pdf"_s << u"DECODEDreport.pdf"_s;
        QTest::newRow("upper-case E~") << u"E~report.pdf"_s << u"DECODEDE~report.pdf"_s;
        QTest::newRow("four-letter extension") << u"e~notes.html"_s << u"notes.html"_s;
        QTest::newRow("no extension") << u"e~notes"_s << u"notes"_s;
        QTest::newRow("no prefix, long extension") << u"report.docx"_s << u"DECODEDreport.docx"_s;
        QTest::newRow("two dots") << u"e~archive.tar.gz"_s << u"archive.tar.gz"_s;
    }

    void chosenFileFillsBothBoxes() {
        QFETCH(QString, name);
        QFETCH(QString, proposal);
        AddToDesktop(name);
        QVERIFY(Browse([&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), u"Encrypted File"_s);
            QCOMPARE(Find<ui::FolderListBox>(dialog, "dirDrive").Path(), desktop_);
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), name));
            Ok(dialog);
        }));
        QCOMPARE(Box("txtEFile").text(), desktop_ + u'/' + name);
        QCOMPARE(Box("txtDFile").text(), desktop_ + u'/' + proposal);
    }

    void cancelChangesNothing() {
        AddToDesktop(u"e~report.pdf"_s);
        Box("txtEFile").setText(u"kept source"_s);
        Box("txtDFile").setText(u"kept destination"_s);
        QVERIFY(Browse([](QDialog& dialog) {
            QVERIFY(ClickEntry(Find<ui::FileListBox>(dialog, "filDrive"), u"e~report.pdf"_s));
            QTest::mouseClick(&Find<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        }));
        QCOMPARE(Box("txtEFile").text(), u"kept source"_s);
        QCOMPARE(Box("txtDFile").text(), u"kept destination"_s);
    }

    // Desktops keep the chooser with the attachment window; it still holds up the whole program.
    void theChooserIsADialogOfTheAttachmentWindow() {
        QVERIFY(Browse([this](QDialog& dialog) {
            QCOMPARE(dialog.parentWidget(), window_.get());
            QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
            QTest::mouseClick(&Find<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        }));
    }

    void okWithoutAFileProposesFromTheName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("nothing typed: the folder") << QString() << u"<desktop>/DECODED"_s;
        QTest::newRow("name box emptied") << u""_s << u"/DECODED"_s;
        QTest::newRow("a name typed") << u"/no/such/e~mail.dat"_s << u"/no/such/mail.dat"_s;
        QTest::newRow("a long extension typed") << u"/no/such/e~a.html"_s << u"/no/such/e~a.html/a.html"_s;
    }

    void okWithoutAFileProposesFromTheName() {
        QFETCH(QString, typed);
        QFETCH(QString, proposal);
        Box("txtEFile").setText(u"kept source"_s);
        QVERIFY(Browse([&](QDialog& dialog) {
            if (!typed.isNull()) {
                auto& name_box = Find<QLineEdit>(dialog, "txtFilename");
                name_box.selectAll();
                QTest::keyClick(&name_box, Qt::Key_Delete);
                QTest::keyClicks(&name_box, typed);
            }
            Ok(dialog);
        }));
        QCOMPARE(Box("txtEFile").text(), u"kept source"_s);
        QCOMPARE(Box("txtDFile").text(), QString(proposal).replace(u"<desktop>"_s, desktop_));
    }

    void withoutADesktopTheChooserOpensWhereItWasSilently() {
        const QString home = Shown(home_->path());
        QVERIFY(Browse([&](QDialog& dialog) {
            QVERIFY(DoubleClickEntry(Find<ui::FolderListBox>(dialog, "dirDrive"), QDir(home).dirName()));
            Ok(dialog);
        }));
        QVERIFY(QDir(desktop_).removeRecursively());

        int boxes = 0;
        const ui::ScopedMessageBoxObserver observer([&boxes](QMessageBox& box) {
            ++boxes;
            box.reject();
        });
        QVERIFY(Browse([&](QDialog& dialog) {
            QCOMPARE(Find<ui::FolderListBox>(dialog, "dirDrive").Path(), home);
            Ok(dialog);
        }));
        QCOMPARE(boxes, 0);
        QCOMPARE(Box("txtDFile").text(), home + u"/DECODED"_s);
    }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
