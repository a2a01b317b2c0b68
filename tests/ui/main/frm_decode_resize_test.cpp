#include "cipher/text_cipher.h"
#include "support/temp_dir.h"
#include "ui/byte_text.h"
#include "ui/support/find_control.h"
#include "window_driver.h"

#include <QTest>

#include <memory>

using namespace testsupport;

namespace {

// The client area as the form was drawn.
const QSize kClientArea(494, 306);

// Where a control stands at the form's size, and how many times the extra
// width moves it and widens it and the extra height makes it taller.
struct Place {
    const char* name;
    QRect at_form_size;
    int moves_right;
    int widens;
    int heightens;
};

const Place kPlaces[] = {
    {"txtEncrypted", QRect(16, 0, 457, 49), 0, 1, 0}, {"txtClearText", QRect(16, 80, 457, 225), 0, 1, 1},
    {"cmdDecode", QRect(224, 56, 57, 17), 0, 0, 0},   {"txtClientKey", QRect(88, 54, 129, 19), 0, 0, 0},
    {"lblClientKey", QRect(16, 56, 65, 17), 0, 0, 0}, {"cmdDecodeAttachments", QRect(352, 56, 121, 17), 1, 0, 0},
};

QRect Expected(const Place& place, const QSize& extra) {
    const QPoint moved = place.at_form_size.topLeft() + QPoint(place.moves_right * extra.width(), 0);
    const QSize grown =
        place.at_form_size.size() + QSize(place.widens * extra.width(), place.heightens * extra.height());
    return {moved, grown};
}

}  // namespace

// The main window made larger and smaller by the user, and Enter on its buttons.
class FrmDecodeResizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsFollowTheWindow_data();
    void controlsFollowTheWindow();
    void aNewWindowStartsAtTheFormSize();
    void enterPressesTheFocusedButtonOnly();

private:
    testsupport::TempDir key_folder_;
};

void FrmDecodeResizeTest::controlsFollowTheWindow_data() {
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("extra");

    QTest::newRow("form size") << QSize(0, 0) << QSize(0, 0);
    QTest::newRow("wider") << QSize(200, 0) << QSize(200, 0);
    QTest::newRow("taller") << QSize(0, 150) << QSize(0, 150);
    QTest::newRow("both") << QSize(317, 211) << QSize(317, 211);
    QTest::newRow("smaller stops at the form") << QSize(-120, -90) << QSize(0, 0);
    QTest::newRow("narrower but taller") << QSize(-50, 40) << QSize(0, 40);
}

void FrmDecodeResizeTest::controlsFollowTheWindow() {
    QFETCH(QSize, asked);
    QFETCH(QSize, extra);
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    frmDecode& window = driver.Window();
    QCOMPARE(window.centralWidget()->size(), kClientArea);
    // The menu bar and anything else around the client area.
    const QSize around = window.size() - kClientArea;
    QCOMPARE(window.minimumSize(), kClientArea + around);

    window.resize(window.size() + asked);
    QTRY_COMPARE(window.centralWidget()->size(), kClientArea + extra);
    for (const Place& place : kPlaces) {
        QCOMPARE(testsupport::Find<QWidget>(window, place.name).geometry(), Expected(place, extra));
    }

    // Back at the form size, every control stands where it was drawn.
    window.resize(kClientArea + around);
    QTRY_COMPARE(window.centralWidget()->size(), kClientArea);
    for (const Place& place : kPlaces) {
        QCOMPARE(testsupport::Find<QWidget>(window, place.name).geometry(), place.at_form_size);
    }
}

void FrmDecodeResizeTest::aNewWindowStartsAtTheFormSize() {
    {
        WindowDriver first(KeyStoreIn(key_folder_.Path()));
        first.Window().resize(first.Window().size() + QSize(100, 100));
        QTRY_COMPARE(first.Window().centralWidget()->size(), kClientArea + QSize(100, 100));
    }
    WindowDriver second(KeyStoreIn(key_folder_.Path()));
    QCOMPARE(second.Window().centralWidget()->size(), kClientArea);
}

void FrmDecodeResizeTest::enterPressesTheFocusedButtonOnly() {
    WindowDriver driver(KeyStoreIn(key_folder_.Path()));
    MessageBoxRecorder boxes;
    int file_windows_made = 0;
    driver.Window().SetFileWindowFactory([&file_windows_made] {
        ++file_windows_made;
        return std::make_unique<QWidget>();
    });
    driver.Paste(driver.Encrypted(), ui::TextFromBytes(m_Decoder::EncodeText("Hello", "k")));
    driver.TypeKey(QStringLiteral("k"));

    // Enter in the key box presses nothing.
    QTest::keyClick(&driver.ClientKey(), Qt::Key_Return);
    QVERIFY(driver.ClearText().toPlainText().isEmpty());
    QCOMPARE(file_windows_made, 0);

    QPushButton& decode = driver.Button("cmdDecode");
    decode.setFocus();
    QTest::keyClick(&decode, Qt::Key_Return);
    QCOMPARE(driver.ClearText().toPlainText(), QStringLiteral("Hello"));
    QCOMPARE(file_windows_made, 0);

    QPushButton& attachments = driver.Button("cmdDecodeAttachments");
    attachments.setFocus();
    QTest::keyClick(&attachments, Qt::Key_Enter);
    QCOMPARE(file_windows_made, 1);

    QVERIFY(boxes.Boxes().isEmpty());
    QVERIFY(!decode.isDefault() && !attachments.isDefault());
}

QTEST_MAIN(FrmDecodeResizeTest)
#include "frm_decode_resize_test.moc"
