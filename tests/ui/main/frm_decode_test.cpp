#include "cipher/text_cipher.h"
#include "support/temp_dir.h"
#include "ui/byte_text.h"
#include "ui/main/about_text.h"
#include "ui/support/find_control.h"
#include "window_driver.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTextDocument>

using namespace testsupport;

namespace {

// The box's text as it holds it, blocks parted by U+2029.
QString RawText(const QPlainTextEdit& box) {
    return box.document()->toRawText();
}

QString Blocks(QString text) {
    text.replace(QStringLiteral("\r\n"), QString(QChar::ParagraphSeparator));
    return text;
}

}  // namespace

class FrmDecodeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ControlsAreInTheirPlaces();
    void TabVisitsTheControlsInOrder();
    void EveryCaptionFitsItsControl();
    void TheKeyBoxShowsAStarForEachCharacter();
    void MenusHoldTheirItems();
    void DecodesWithTheTrimmedKey_data();
    void DecodesWithTheTrimmedKey();
    void AltDDecodes();
    void LineBreaksReachTheCipherAsCrLf_data();
    void LineBreaksReachTheCipherAsCrLf();
    void NoOtherCharacterChangesOnTheWay();
    void InputTheCipherCannotTakeIsRefused_data();
    void InputTheCipherCannotTakeIsRefused();
    void AboutShowsTheCopyrightTitleAndVersion();
    void VersionTextPadsMinorAndRevision();

private:
    testsupport::TempDir key_folder_;
};

void FrmDecodeTest::ControlsAreInTheirPlaces() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    frmDecode& window = driver.Window();
    QCOMPARE(window.windowTitle(), QStringLiteral("Norvane Mailvox Decoder"));
    QCOMPARE(window.centralWidget()->size(), QSize(494, 306));

    struct Place {
        const char* name;
        QRect geometry;
        const char* tool_tip;
    };
    // Twips divided by 15.
    const Place places[] = {
        {"txtEncrypted", QRect(16, 0, 457, 49), "Paste the encrypted text of the e-mail here"},
        {"txtClearText", QRect(16, 80, 457, 225), "Here is where the decrypted text of the e-mail will be displayed"},
        {"cmdDecode", QRect(224, 56, 57, 17), "Click me to decrypt!"},
        {"txtClientKey", QRect(88, 54, 129, 19), "The Client encryption key needs to be filled in here"},
        {"lblClientKey", QRect(16, 56, 65, 17), ""},
        {"cmdDecodeAttachments", QRect(352, 56, 121, 17), "Click me if there are files to be decrypted"},
    };
    for (const Place& place : places) {
        const auto* control = &testsupport::Find<QWidget>(window, place.name);
        QCOMPARE(control->parentWidget(), window.centralWidget());
        QCOMPARE(control->geometry(), place.geometry);
        QCOMPARE(control->toolTip(), QString::fromLatin1(place.tool_tip));
    }
    QCOMPARE(driver.Button("cmdDecode").text(), QStringLiteral("&Decode"));
    QCOMPARE(driver.Button("cmdDecodeAttachments").text(), QStringLiteral("Decode &Attachments"));
    QCOMPARE(testsupport::Find<QLabel>(window, "lblClientKey").text(), QStringLiteral("Client Key:"));
    for (const char* button : {"cmdDecode", "cmdDecodeAttachments"}) {
        QVERIFY(!driver.Button(button).isDefault());
        QVERIFY(!driver.Button(button).autoDefault());
    }
    QVERIFY(driver.Encrypted().toPlainText().isEmpty());
    QVERIFY(driver.ClearText().toPlainText().isEmpty());
    QVERIFY(driver.ClientKey().text().isEmpty());
}

void FrmDecodeTest::TabVisitsTheControlsInOrder() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    driver.Encrypted().setFocus();
    const char* const order[] = {"txtClearText", "cmdDecode", "txtClientKey", "cmdDecodeAttachments", "txtEncrypted"};
    for (const char* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(expected));
    }
}

void FrmDecodeTest::EveryCaptionFitsItsControl() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    for (const char* name : {"cmdDecode", "cmdDecodeAttachments"}) {
        const QPushButton& button = driver.Button(name);
        QStyleOptionButton option;
        option.initFrom(&button);
        // What the style draws the caption into: the button less its frame and margins.
        const QRect contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
        const QSize caption = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
        QVERIFY2(caption.width() <= contents.width() && caption.height() <= button.height(), name);
    }
    const auto* label = &testsupport::Find<QLabel>(driver.Window(), "lblClientKey");
    QVERIFY(label->sizeHint().width() <= label->width());
    QVERIFY(label->sizeHint().height() <= label->height());
    QStyleOptionFrame key_box;
    key_box.initFrom(&driver.ClientKey());
    const QRect key_text =
        driver.ClientKey().style()->subElementRect(QStyle::SE_LineEditContents, &key_box, &driver.ClientKey());
    QVERIFY(driver.ClientKey().fontMetrics().height() <= key_text.height());
    const QFontMetrics menu_font = driver.Window().menuBar()->fontMetrics();
    QVERIFY(menu_font.height() <= driver.Window().menuBar()->height());
}

void FrmDecodeTest::TheKeyBoxShowsAStarForEachCharacter() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    driver.TypeKey(QStringLiteral("ab c"));
    QCOMPARE(driver.ClientKey().text(), QStringLiteral("ab c"));
    QCOMPARE(driver.ClientKey().displayText(), QStringLiteral("****"));
}

void FrmDecodeTest::MenusHoldTheirItems() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    struct Item {
        const char* menu;
        const char* menu_caption;
        const char* item;
        const char* caption;
    };
    const Item items[] = {
        {"mnuFile", "File", "mnuDecode", "Decode"},
        {"mnuFile", "File", "mnuExit", "Exit"},
        {"mnuOptions", "Options", "mnuRememberKey", "Remember Key"},
        {"mnuHelp", "Help", "mnuAbout", "About"},
    };
    for (const Item& item : items) {
        const auto* menu = &testsupport::Find<QMenu>(driver.Window(), item.menu);
        QCOMPARE(menu->title(), QString::fromLatin1(item.menu_caption));
        QVERIFY(driver.Window().menuBar()->actions().contains(menu->menuAction()));
        QAction& action = driver.Menu(item.item);
        QCOMPARE(action.text(), QString::fromLatin1(item.caption));
        QVERIFY(menu->actions().contains(&action));
        QCOMPARE(action.isCheckable(), qstrcmp(item.item, "mnuRememberKey") == 0);
    }

    // Decode in the File menu does nothing.
    driver.Paste(driver.Encrypted(), QStringLiteral("abc"));
    driver.TypeKey(QStringLiteral("k"));
    driver.Menu("mnuDecode").trigger();
    QVERIFY(driver.ClearText().toPlainText().isEmpty());

    // Remember Key toggles its own check mark.
    QAction& remember = driver.Menu("mnuRememberKey");
    QVERIFY(!remember.isChecked());
    remember.trigger();
    QVERIFY(remember.isChecked());
    remember.trigger();
    QVERIFY(!remember.isChecked());
}

void FrmDecodeTest::DecodesWithTheTrimmedKey_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("key");
    QTest::newRow("spaces around") << QStringLiteral("  my key   ") << QString() << QStringLiteral("my key");
    QTest::newRow("tabs stay") << QString() << QStringLiteral(" \tkey\t ") << QStringLiteral("\tkey\t");
}

void FrmDecodeTest::DecodesWithTheTrimmedKey() {
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, key);
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    const std::string clear = "Meet me at five.";
    const std::string message = m_Decoder::EncodeText(clear, ui::BytesFromText(key));
    QVERIFY(message.find_first_of("\r\n") == std::string::npos);
    driver.Paste(driver.Encrypted(), ui::TextFromBytes(message));
    driver.TypeKey(typed);
    if (!pasted.isEmpty()) {
        driver.Paste(driver.ClientKey(), pasted);
    }

    driver.Click("cmdDecode");

    QCOMPARE(RawText(driver.ClearText()), ui::TextFromBytes(clear));
    QCOMPARE(driver.ClientKey().text(), typed + pasted);
}

void FrmDecodeTest::AltDDecodes() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    driver.Paste(driver.Encrypted(), ui::TextFromBytes(m_Decoder::EncodeText("by the keyboard", "k")));
    driver.TypeKey(QStringLiteral("k"));

    QTest::keyClick(&driver.Window(), Qt::Key_D, Qt::AltModifier);

    // The access key clicks the button the way a mouse does, after a short press.
    QTRY_COMPARE(driver.ClearText().toPlainText(), QStringLiteral("by the keyboard"));
}

void FrmDecodeTest::LineBreaksReachTheCipherAsCrLf_data() {
    QTest::addColumn<QString>("pasted");
    QTest::newRow("LF") << QStringLiteral("first\nsecond\nthird");
    QTest::newRow("CR") << QStringLiteral("first\rsecond\rthird");
    QTest::newRow("CR LF") << QStringLiteral("first\r\nsecond\r\nthird");
    QTest::newRow("mixed") << QStringLiteral("first\r\nsecond\rthird");
}

void FrmDecodeTest::LineBreaksReachTheCipherAsCrLf() {
    QFETCH(QString, pasted);
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    // Protected text as it was written, every line break CR LF.
    const std::string written = "first\r\nsecond\r\nthird";
    const std::string expected = m_Decoder::DecodeText(written, "key");
    driver.Paste(driver.Encrypted(), pasted);
    driver.TypeKey(QStringLiteral("key"));

    driver.Click("cmdDecode");

    QCOMPARE(RawText(driver.ClearText()), Blocks(ui::TextFromBytes(expected)));
}

void FrmDecodeTest::NoOtherCharacterChangesOnTheWay() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    // Every code, code 0 and the controls included, but for those that are or
    // decode to a line break.
    const std::string key = "K";
    std::string message;
    for (int code = 0; code <= 255; ++code) {
        const std::string one(1, static_cast<char>(code));
        const std::string decoded = m_Decoder::DecodeText(one, key);
        if (one != "\r" && one != "\n" && decoded != "\r" && decoded != "\n") {
            message += one;
        }
    }
    driver.Paste(driver.Encrypted(), ui::TextFromBytes(message));
    driver.TypeKey(QString::fromLatin1(key));

    driver.Click("cmdDecode");

    QCOMPARE(RawText(driver.Encrypted()), ui::TextFromBytes(message));
    QCOMPARE(RawText(driver.ClearText()), ui::TextFromBytes(m_Decoder::DecodeText(message, key)));
}

void FrmDecodeTest::InputTheCipherCannotTakeIsRefused_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("prompt");
    const QString longest(static_cast<qsizetype>(m_Decoder::kLongestText), QLatin1Char('m'));
    const QString too_long = longest + QLatin1Char('m');
    QTest::newRow("no key") << QString() << QStringLiteral("abc") << QStringLiteral("Key Missing!");
    QTest::newRow("spaces only") << QStringLiteral("   ") << QStringLiteral("abc") << QStringLiteral("Key Missing!");
    QTest::newRow("the key first") << QString() << too_long << QStringLiteral("Key Missing!");
    QTest::newRow("too long") << QStringLiteral("k") << too_long << QStringLiteral("Encrypted Text Too Long!");
    // One LF that becomes CR LF makes a text of 32,766 characters too long.
    QTest::newRow("too long with CR LF") << QStringLiteral("k") << longest.left(longest.size() - 1) + QLatin1Char('\n')
                                         << QStringLiteral("Encrypted Text Too Long!");
    QTest::newRow("the longest text") << QStringLiteral("k") << longest << QString();
    QTest::newRow("nothing at all") << QString() << QString() << QString();
}

void FrmDecodeTest::InputTheCipherCannotTakeIsRefused() {
    QFETCH(QString, key);
    QFETCH(QString, message);
    QFETCH(QString, prompt);
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    driver.ClearText().setPlainText(QStringLiteral("what the box held"));
    driver.Paste(driver.Encrypted(), message);
    driver.TypeKey(key);
    MessageBoxRecorder recorder;

    driver.Click("cmdDecode");

    if (prompt.isEmpty()) {
        QVERIFY(recorder.Boxes().isEmpty());
        QCOMPARE(driver.ClearText().toPlainText().size(), message.size());
    } else {
        QCOMPARE(recorder.Boxes().size(), 1);
        QCOMPARE(recorder.Boxes().front().first, QStringLiteral("Unable to Proceed!"));
        QCOMPARE(recorder.Boxes().front().second, prompt);
        QCOMPARE(driver.ClearText().toPlainText(), QStringLiteral("what the box held"));
    }
}

void FrmDecodeTest::AboutShowsTheCopyrightTitleAndVersion() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    MessageBoxRecorder recorder;

    driver.Menu("mnuAbout").trigger();

    QCOMPARE(recorder.Boxes().size(), 1);
    QCOMPARE(recorder.Boxes().front().first, QStringLiteral("About ZQ Decoder"));
    QCOMPARE(recorder.Boxes().front().second,
             QStringLiteral("Copyright \u00a9 2026 The ZQ Decoder developers\r\nZQ Decoder\r\n v4.02.4015"));
}

void FrmDecodeTest::VersionTextPadsMinorAndRevision() {
    QCOMPARE(ui::VersionText(4, 2, 7), QStringLiteral(" v4.02.07"));
    QCOMPARE(ui::VersionText(10, 12, 4015), QStringLiteral(" v10.12.4015"));
    QCOMPARE(ui::VersionText(0, 0, 0), QStringLiteral(" v0.00.00"));
}

QTEST_MAIN(FrmDecodeTest)
#include "frm_decode_test.moc"
