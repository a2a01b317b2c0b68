#include "support/accessibility_on.h"
#include "support/key_store_in.h"
#include "support/temp_dir.h"
#include "ui/chooser/drive_list_box.h"
#include "ui/chooser/file_list_box.h"
#include "ui/chooser/folder_list_box.h"
#include "ui/chooser/frm_drive_window.h"
#include "ui/files/frm_decode_file.h"
#include "ui/main/frm_decode.h"
#include "ui/support/find_control.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

namespace {

enum class Window { kMain, kAttachments, kChooser };

QString NameOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QStringLiteral("<not accessible>");
}

// An accessibility event as a screen reader would receive it.
struct HeardEvent {
    QAccessible::Event type = QAccessible::InvalidEvent;
    const QObject* object = nullptr;
    QStringList texts;
};

std::vector<HeardEvent>& Heard() {
    static std::vector<HeardEvent> heard;
    return heard;
}

void RecordEvent(QAccessibleEvent* event) {
    HeardEvent heard{event->type(), event->object(), {}};
    switch (event->type()) {
        case QAccessible::TextInserted:
            heard.texts << static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
            break;
        case QAccessible::TextRemoved:
            heard.texts << static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved();
            break;
        case QAccessible::TextUpdated: {
            const auto* updated = static_cast<QAccessibleTextUpdateEvent*>(event);
            heard.texts << updated->textRemoved() << updated->textInserted();
            break;
        }
        case QAccessible::ValueChanged:
            heard.texts << static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
            break;
        default:
            break;
    }
    Heard().push_back(heard);
}

qsizetype CountHeard(QAccessible::Event type, const QObject* object) {
    return std::count_if(Heard().begin(), Heard().end(),
                         [&](const HeardEvent& heard) { return heard.type == type && heard.object == object; });
}

}  // namespace

Q_DECLARE_METATYPE(Window)

// What a screen reader hears of the three windows, read through QAccessible.
class AccessibleNamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void everyInputHasAName_data();
    void everyInputHasAName();
    void theAttachmentWindowIsAnnouncedAsAWindow();
    void theDriveListStaysADropDown();
    void theKeyIsNeverSpoken();
    void onlyTheListWithTheFocusAnnouncesItsEntry();

private:
    [[nodiscard]] QWidget& Root(Window window) const;

    testsupport::TempDir key_folder_;
    testsupport::TempDir files_;
    std::unique_ptr<frmDecode> main_;
    std::unique_ptr<ui::frmDecodeFile> attachments_;
    std::unique_ptr<ui::FrmDriveWindow> chooser_;
};

void AccessibleNamesTest::initTestCase() {
    // Listening before any window exists, as a screen reader would: the
    // windows' own handler then passes what it lets through to this one.
    QAccessible::installUpdateHandler(&RecordEvent);
    QVERIFY(testsupport::TurnAccessibilityOn());
    main_ = std::make_unique<frmDecode>(testsupport::KeyStoreIn(key_folder_.Path()));
    attachments_ = std::make_unique<ui::frmDecodeFile>([] { return QString(); });
    chooser_ = std::make_unique<ui::FrmDriveWindow>(nullptr);
}

void AccessibleNamesTest::cleanupTestCase() {
    chooser_.reset();
    attachments_.reset();
    main_.reset();
}

QWidget& AccessibleNamesTest::Root(Window window) const {
    switch (window) {
        case Window::kMain:
            return *main_;
        case Window::kAttachments:
            return *attachments_;
        case Window::kChooser:
            break;
    }
    return chooser_->frmDrive;
}

void AccessibleNamesTest::everyInputHasAName_data() {
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    // Empty when the name is given outright; else the label that names the control.
    QTest::addColumn<QString>("label");

    const auto row = [](Window window, const char* control, const char* name, const char* label) {
        QTest::newRow(control) << window << QString::fromLatin1(control) << QString::fromLatin1(name)
                               << QString::fromLatin1(label);
    };
    row(Window::kMain, "txtClientKey", "Client Key:", "lblClientKey");
    row(Window::kMain, "txtEncrypted", "Encrypted Text", "");
    row(Window::kMain, "txtClearText", "Decoded Text", "");
    row(Window::kAttachments, "txtEFile", "Encrypted File Path", "lblEFile");
    row(Window::kAttachments, "txtDFile", "Decrypted File Path", "Label1");
    row(Window::kAttachments, "lstStatus", "Status", "");
    row(Window::kChooser, "drvDrive", "Drives", "");
    row(Window::kChooser, "dirDrive", "Folders", "");
    row(Window::kChooser, "filDrive", "Files", "");
    row(Window::kChooser, "txtFilename", "File : ", "lblFile");
    row(Window::kChooser, "txtFileType", "File Type : ", "lblFiletype");
}

void AccessibleNamesTest::everyInputHasAName() {
    QFETCH(Window, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, label);

    auto* input = &testsupport::Find<QWidget>(Root(window), control);
    QCOMPARE(NameOf(input), name);
    if (label.isEmpty()) {
        QCOMPARE(input->accessibleName(), name);
    } else {
        // Named by its label, so that the two can never tell different stories.
        QVERIFY(input->accessibleName().isEmpty());
        const auto* buddy = &testsupport::Find<QLabel>(Root(window), label);
        QCOMPARE(buddy->buddy(), input);
        QCOMPARE(buddy->text(), name);
    }
}

void AccessibleNamesTest::theAttachmentWindowIsAnnouncedAsAWindow() {
    // A second window gets the same role: making one registers nothing twice.
    ui::frmDecodeFile second([] { return QString(); });
    for (ui::frmDecodeFile* window : {attachments_.get(), &second}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Norvane Mailvox Decoder"));
        // Both windows bear that caption; the description tells this one apart.
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("Decode Attachments"));
        QAccessibleInterface* box =
            QAccessible::queryAccessibleInterface(&testsupport::Find<QWidget>(*window, "txtEFile"));
        QVERIFY(accessible->indexOfChild(box) >= 0);
        QCOMPARE(box->parent(), accessible);
    }
    // Other plain widgets keep the role Qt gives them.
    QWidget plain;
    QVERIFY(QAccessible::queryAccessibleInterface(&plain)->role() != QAccessible::Window);

    // Still no dialog, so Escape keeps it open.
    QVERIFY(qobject_cast<QDialog*>(&second) == nullptr);
    second.show();
    QVERIFY(QTest::qWaitForWindowActive(&second));
    QTest::keyClick(&second, Qt::Key_Escape);
    QVERIFY(second.isVisible());
}

void AccessibleNamesTest::theDriveListStaysADropDown() {
    auto* drives = chooser_->drvDrive;
    QVERIFY(drives->count() > 0);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(drives);
    QCOMPARE(accessible->role(), QAccessible::ComboBox);
    // The name says what the list is; the value says which drive is chosen.
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Drives"));
    QCOMPARE(accessible->text(QAccessible::Value), drives->currentText());
    // Screen readers on Linux read a drop-down's value as its text.
    QAccessibleTextInterface* text = accessible->textInterface();
    QVERIFY(text != nullptr);
    QCOMPARE(text->text(0, text->characterCount()), drives->currentText());
    QCOMPARE(accessible->childCount(), 1);
    QCOMPARE(accessible->child(0)->object(), drives->view());
    QCOMPARE(accessible->indexOfChild(accessible->child(0)), 0);
    QVERIFY(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
}

void AccessibleNamesTest::theKeyIsNeverSpoken() {
    main_->show();
    QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    auto* key_box = &testsupport::Find<QLineEdit>(*main_, "txtClientKey");
    key_box->setFocus();
    Heard().clear();

    const QString key = QStringLiteral("Zebra-42");
    QTest::keyClicks(key_box, key);
    QTest::keyClick(key_box, Qt::Key_Backspace);
    QTest::keyClick(key_box, Qt::Key_Home);
    QTest::keyClick(key_box, Qt::Key_Delete);
    QCOMPARE(key_box->text(), key.mid(1, key.size() - 2));
    // A whole key put over the one there, as the activation puts the
    // remembered key: Qt tells both in one event.
    key_box->setText(key);

    // Each typed and each deleted character was told of, and none of them heard.
    QCOMPARE(CountHeard(QAccessible::TextInserted, key_box), key.size());
    QCOMPARE(CountHeard(QAccessible::TextRemoved, key_box), 2);
    QCOMPARE(CountHeard(QAccessible::TextUpdated, key_box), 1);
    for (const HeardEvent& heard : Heard()) {
        for (const QString& text : heard.texts) {
            for (const QChar character : key) {
                QVERIFY2(
                    !text.contains(character),
                    qPrintable(QStringLiteral("event %1 carries \"%2\"").arg(static_cast<int>(heard.type)).arg(text)));
            }
        }
    }
    main_->hide();
}

void AccessibleNamesTest::onlyTheListWithTheFocusAnnouncesItsEntry() {
    for (const char* name : {"a.enc", "b.enc", "c.enc"}) {
        std::ofstream(files_ / name) << "x";
    }
    ui::FileListBox* files = chooser_->filDrive;
    QVERIFY(files->SetPath(QString::fromStdString(files_.Path().string())));
    files->setCurrentRow(1);
    chooser_->frmDrive.show();
    QVERIFY(QTest::qWaitForWindowActive(&chooser_->frmDrive));

    // The user is in the folder list while the file list is read again.
    chooser_->dirDrive->setFocus();
    Heard().clear();
    files->Refresh();
    QCOMPARE(files->FileName(), QStringLiteral("b.enc"));
    QCOMPARE(CountHeard(QAccessible::Focus, files), 0);

    // In the file list itself, moving to another file is still heard.
    files->setFocus();
    Heard().clear();
    QTest::keyClick(files, Qt::Key_Down);
    QCOMPARE(files->FileName(), QStringLiteral("c.enc"));
    QVERIFY(CountHeard(QAccessible::Focus, files) > 0);
    chooser_->frmDrive.hide();
}

QTEST_MAIN(AccessibleNamesTest)
#include "accessible_names_test.moc"
