#include "ui/files/frm_decode_file.h"

#include "cipher/file_container.h"
#include "jobs/uncarriable_input.h"
#include "test_paths.h"
#include "ui/files/file_window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
using testsupport::MessageBoxRecorder;
using testsupport::ReadFile;
using testsupport::WriteFile;

const fs::path kVectors = fs::path(testsupport::kDataDir) / "vectors";

QString Text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

class FrmDecodeFileTest : public QObject, testsupport::FileWindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void hasItsControlsInPlace();
    void tabsFromCancelThroughTheControls();
    void enterPressesOnlyTheFocusedButton();
    void decodeChecksItsInputsInOrder_data();
    void decodeChecksItsInputsInOrder();
    void encodeChecksItsInputsInOrder_data();
    void encodeChecksItsInputsInOrder();
    void decodesASharedVector();
    void showsAFailedJob();
    void keyOfSpacesUnloadsTheWindow();
    void encodeWithAnEmptyKeyGoesAhead();
    void statusListRevealsItselfAndScrolls();
    void reopensEmptyAfterCancelOrCloseBox();

private:
    void FillPaths(const QString& encrypted, const QString& decrypted);
};

void FrmDecodeFileTest::init() {
    OpenWindow(QString());
}

void FrmDecodeFileTest::cleanup() {
    CloseWindow();
}

// Types plain ASCII, and pastes the rest as users do with the paths they copy.
void FrmDecodeFileTest::FillPaths(const QString& encrypted, const QString& decrypted) {
    for (const auto& [name, text] : {std::pair{"txtEFile", encrypted}, std::pair{"txtDFile", decrypted}}) {
        auto* box = Find<QLineEdit>(name);
        box->clear();
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            QTest::keyClicks(box, text);
        } else {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        }
    }
}

void FrmDecodeFileTest::hasItsControlsInPlace() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Norvane Mailvox Decoder"));
    QCOMPARE(window_->size(), QSize(505, 213));

    const struct {
        const char* name;
        QString text;
        QRect geometry;
    } controls[] = {
        {"cmdCancel", QStringLiteral("Cancel"), {192, 184, 73, 25}},
        {"cmdDecode", QStringLiteral("Decode"), {304, 184, 73, 25}},
        {"txtEFile", QString(), {16, 24, 409, 19}},
        {"lblEFile", QStringLiteral("Encrypted File Path"), {16, 8, 113, 17}},
        {"cmdEBrowse", QStringLiteral("Browse"), {432, 24, 57, 17}},
        {"txtDFile", QString(), {16, 72, 473, 19}},
        {"Label1", QStringLiteral("Decrypted File Path"), {16, 56, 113, 17}},
        {"lstStatus", QString(), {16, 104, 473, 69}},
        {"cmdEncode", QStringLiteral("Encode"), {416, 184, 73, 25}},
        {"prgJob", QString(), {16, 184, 81, 25}},
        {"lblJobFile", QString(), {104, 184, 80, 25}},
    };
    for (const auto& control : controls) {
        const auto* widget = Find<QWidget>(control.name);
        QCOMPARE(widget->geometry(), control.geometry);
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            QCOMPARE(button->text(), control.text);
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            QCOMPARE(label->text(), control.text);
        } else if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
            QVERIFY(box->text().isEmpty());
            QVERIFY(!box->isReadOnly());
        }
    }
    QCOMPARE(Find<QLineEdit>("txtDFile")->toolTip(),
             QStringLiteral("Path and name of what you want the decrypted file to be."));
    for (const char* hidden : {"cmdEncode", "lstStatus", "prgJob", "lblJobFile"}) {
        QVERIFY2(Find<QWidget>(hidden)->isHidden(), hidden);
    }
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>("cmdCancel"));
}

void FrmDecodeFileTest::tabsFromCancelThroughTheControls() {
    // The list and Encode take the focus only when they show.
    window_->StatusAdd("line");
    Find<QWidget>("cmdEncode")->show();
    QStringList order;
    for (int press = 0; press < 8; ++press) {
        order.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, QStringList({"cmdCancel", "cmdDecode", "txtEFile", "cmdEBrowse", "txtDFile", "lstStatus",
                                 "cmdEncode", "cmdCancel"}));
}

void FrmDecodeFileTest::enterPressesOnlyTheFocusedButton() {
    MessageBoxRecorder boxes;
    QTest::keyClick(Find<QWidget>("txtEFile"), Qt::Key_Return);
    QTest::keyClick(Find<QWidget>("cmdCancel"), Qt::Key_Escape);
    QVERIFY(boxes.Boxes().isEmpty());
    QVERIFY(window_->isVisible());

    auto* decode = Find<QWidget>("cmdDecode");
    decode->setFocus();
    QTest::keyClick(decode, Qt::Key_Return);
    QCOMPARE(boxes.Boxes().size(), 1);
    QCOMPARE(boxes.Boxes().at(0).second, QStringLiteral("No Encrypted File Provided!"));

    auto* cancel = Find<QWidget>("cmdCancel");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(window_->isHidden());
}

void FrmDecodeFileTest::decodeChecksItsInputsInOrder_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("dest");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("stays");

    const QString missing_key = QStringLiteral("Key Missing!");
    QTest::newRow("no source") << ""
                               << "new"
                               << "secret"
                               << "No Encrypted File Provided!" << true;
    QTest::newRow("source of spaces") << "   "
                                      << "new"
                                      << "secret"
                                      << "No Encrypted File Provided!" << true;
    QTest::newRow("missing source") << "missing"
                                    << ""
                                    << ""
                                    << "Encrypted File Not Found!" << true;
    QTest::newRow("folder as source") << "folder"
                                      << "new"
                                      << "secret"
                                      << "Encrypted File Not Found!" << true;
    QTest::newRow("no destination") << "source"
                                    << ""
                                    << ""
                                    << "No Decrypted Path and Filename Provided!" << true;
    QTest::newRow("destination of spaces") << "source"
                                           << "  "
                                           << "secret"
                                           << "No Decrypted Path and Filename Provided!" << true;
    QTest::newRow("existing destination") << "source"
                                          << "existing"
                                          << ""
                                          << "File Found With Same Path and Name as Decrypted File Path!" << true;
    QTest::newRow("destination is the source") << "source"
                                               << "source"
                                               << "secret"
                                               << "File Found With Same Path and Name as Decrypted File Path!" << true;
    QTest::newRow("no key") << "source"
                            << "new"
                            << "" << missing_key << false;
    QTest::newRow("key of spaces") << "source"
                                   << "new"
                                   << "    " << missing_key << false;
}

void FrmDecodeFileTest::decodeChecksItsInputsInOrder() {
    QFETCH(QString, source);
    QFETCH(QString, dest);
    QFETCH(QString, key);
    QFETCH(QString, prompt);
    QFETCH(bool, stays);

    fs::create_directory(*dir_ / "folder");
    WriteFile(*dir_ / "source", ReadFile(kVectors / "hello.zq"));
    WriteFile(*dir_ / "existing", "keep me");
    const auto path = [this](const QString& name) {
        return name.trimmed().isEmpty() ? name : QStringLiteral(" ") + Text(*dir_ / name.toStdString()) + u' ';
    };
    FillPaths(path(source), path(dest));
    key_ = key;

    MessageBoxRecorder boxes;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);

    QCOMPARE(boxes.Boxes().size(), 1);
    QCOMPARE(boxes.Boxes().at(0).first, QStringLiteral("Unable to Proceed!"));
    QCOMPARE(boxes.Boxes().at(0).second, prompt);
    QCOMPARE(window_->isVisible(), stays);
    QVERIFY(!fs::exists(*dir_ / "new"));
    QCOMPARE(ReadFile(*dir_ / "existing"), std::string("keep me"));
    if (stays) {
        QCOMPARE(Find<QLineEdit>("txtEFile")->text(), path(source));
        QCOMPARE(Find<QLineEdit>("txtDFile")->text(), path(dest));
        QVERIFY(Find<QWidget>("lstStatus")->isHidden());
    }
}

void FrmDecodeFileTest::encodeChecksItsInputsInOrder_data() {
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("encrypted");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("prompt");

    const QString secret = QStringLiteral("secret");
    // Cyrillic has no place in the code page: each letter would become "?".
    const QString cyrillic = QStringLiteral(u"\u043F\u0430\u0440\u043E\u043B\u044C");
    const QString key_refused = QString::fromUtf8(m_Decoder::kKeyCannotBeUsed);
    QTest::newRow("no file to encrypt") << ""
                                        << "out" << secret << "File to Encrypt Not Provided!";
    QTest::newRow("file to encrypt of spaces") << "  "
                                               << "out" << secret << "File to Encrypt Not Provided!";
    QTest::newRow("missing file to encrypt") << "missing"
                                             << "" << secret << "File to Encrypt Not Found!";
    QTest::newRow("no destination") << "plain"
                                    << "" << secret << "No Encrypted Path and Filename Provided!";
    QTest::newRow("destination of spaces") << "plain"
                                           << "   " << secret << "No Encrypted Path and Filename Provided!";
    QTest::newRow("paths before the key") << "plain"
                                          << "" << cyrillic << "No Encrypted Path and Filename Provided!";
    QTest::newRow("key outside the code page") << "plain"
                                               << "out" << cyrillic << key_refused;
    QTest::newRow("one such character among others")
        << "plain"
        << "out" << QStringLiteral(u" caf\u00E9 \u20AC\u2603 ") << key_refused;
}

void FrmDecodeFileTest::encodeChecksItsInputsInOrder() {
    QFETCH(QString, plain);
    QFETCH(QString, encrypted);
    QFETCH(QString, key);
    QFETCH(QString, prompt);

    WriteFile(*dir_ / "plain", "clear");
    const auto path = [this](const QString& name) {
        return name.trimmed().isEmpty() ? name : Text(*dir_ / name.toStdString());
    };
    FillPaths(path(encrypted), path(plain));
    key_ = key;

    MessageBoxRecorder boxes;
    Find<QPushButton>("cmdEncode")->click();

    QCOMPARE(boxes.Boxes().size(), 1);
    QCOMPARE(boxes.Boxes().at(0).first, QStringLiteral("Unable to Proceed!"));
    QCOMPARE(boxes.Boxes().at(0).second, prompt);
    QVERIFY(!boxes.Boxes().at(0).second.contains(key.trimmed()));
    QVERIFY(window_->isVisible());
    QVERIFY(StatusLines().isEmpty());
    QVERIFY(!fs::exists(*dir_ / "out"));
}

void FrmDecodeFileTest::decodesASharedVector() {
    const fs::path folder = *dir_ / "Pièces jointes 日本";
    fs::create_directory(folder);
    const fs::path source = folder / "e~hello.zq";
    const fs::path dest = folder / "hello ü.txt";
    WriteFile(source, ReadFile(kVectors / "hello.zq"));
    FillPaths(QStringLiteral("  ") + Text(source), Text(dest) + QStringLiteral("  "));
    key_ = QStringLiteral("  secret ");

    QVERIFY(Decode().isEmpty());
    const QStringList lines = StatusLines();
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.mid(0, 4), QStringList({"Here we go!", "Getting file: " + Text(source),
                                           "Decrypting file: " + Text(source), "Created file: " + Text(dest)}));
    QVERIFY2(QRegularExpression(QStringLiteral("^File decryption duration: 0:00:0\\d$")).match(lines.at(4)).hasMatch(),
             qPrintable(lines.at(4)));
    QCOMPARE(lines.at(5), QString());
    QCOMPARE(ReadFile(dest), ReadFile(kVectors / "hello.plain"));
    QVERIFY(window_->isVisible());
}

void FrmDecodeFileTest::showsAFailedJob() {
    // A container of one byte has no ciphertext.
    WriteFile(*dir_ / "broken.zq", std::string(1, '\0'));
    FillPaths(Text(*dir_ / "broken.zq"), Text(*dir_ / "out.txt"));
    key_ = QStringLiteral("secret");

    const Boxes boxes = Decode();

    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).first, QStringLiteral("Error!"));
    QVERIFY2(QRegularExpression(QStringLiteral("^Error Decoding File!\r\nDecryptError: -?\\d+  \\S"))
                 .match(boxes.at(0).second)
                 .hasMatch(),
             qPrintable(boxes.at(0).second));
    QCOMPARE(StatusLines(), QStringList({"Here we go!", "Getting file: " + Text(*dir_ / "broken.zq"),
                                         "Decrypting file: " + Text(*dir_ / "broken.zq")}));
    QVERIFY(window_->isVisible());
    QCOMPARE(Find<QLineEdit>("txtEFile")->text(), Text(*dir_ / "broken.zq"));
    QVERIFY(!fs::exists(*dir_ / "out.txt"));
}

void FrmDecodeFileTest::keyOfSpacesUnloadsTheWindow() {
    WriteFile(*dir_ / "source", ReadFile(kVectors / "hello.zq"));
    FillPaths(Text(*dir_ / "source"), Text(*dir_ / "new"));
    window_->StatusAdd("earlier line");
    key_ = QStringLiteral("   ");

    MessageBoxRecorder boxes;
    QTest::mouseClick(Find<QPushButton>("cmdDecode"), Qt::LeftButton);
    QCOMPARE(boxes.Boxes().size(), 1);
    QVERIFY(window_->isHidden());

    ShowWindow();
    QVERIFY(Find<QLineEdit>("txtEFile")->text().isEmpty());
    QVERIFY(Find<QLineEdit>("txtDFile")->text().isEmpty());
    QVERIFY(Find<QWidget>("lstStatus")->isHidden());
    QVERIFY(StatusLines().isEmpty());
}

void FrmDecodeFileTest::encodeWithAnEmptyKeyGoesAhead() {
    WriteFile(*dir_ / "plain.txt", "clear text\r\n");
    WriteFile(*dir_ / "e~plain.txt", "old container");
    FillPaths(Text(*dir_ / "e~plain.txt"), Text(*dir_ / "plain.txt"));

    MessageBoxRecorder boxes;
    Find<QPushButton>("cmdEncode")->click();
    QVERIFY(testsupport::WaitForJobEnd(*window_));

    QVERIFY(boxes.Boxes().isEmpty());
    const QStringList lines = StatusLines();
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(2), "Encrypting file: " + Text(*dir_ / "plain.txt"));
    QCOMPARE(lines.at(3), "Created file: " + Text(*dir_ / "e~plain.txt"));
    QVERIFY(lines.at(4).startsWith(QStringLiteral("File encryption duration: 0:00:0")));

    // The container replaced the old file, under the empty key.
    QCOMPARE(m_Encryption::DecryptFileWithSalt((*dir_ / "e~plain.txt").string(), (*dir_ / "back.txt").string(), ""),
             std::string());
    QCOMPARE(ReadFile(*dir_ / "back.txt"), std::string("clear text\r\n"));
}

void FrmDecodeFileTest::statusListRevealsItselfAndScrolls() {
    auto* list = Find<QListWidget>("lstStatus");
    const auto visible_rows = [list] {
        QList<int> rows;
        for (int row = 0; row < list->count(); ++row) {
            if (list->viewport()->rect().contains(list->visualItemRect(list->item(row)))) {
                rows.append(row);
            }
        }
        return rows;
    };

    window_->StatusAdd("1");
    QVERIFY(list->isVisible());
    const QImage background = list->viewport()->grab().toImage();
    QCOMPARE(background.pixelColor(background.width() - 2, background.height() - 2),
             list->palette().color(QPalette::Button));
    QVERIFY(list->palette().color(QPalette::Button) != list->palette().color(QPalette::Base));

    for (const char* line : {"2", "3", "4", "5"}) {
        window_->StatusAdd(line);
    }
    QCOMPARE(visible_rows(), QList<int>({0, 1, 2, 3, 4}));

    window_->StatusAdd("");
    QCOMPARE(visible_rows(), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(list->item(5)->text(), QString());

    for (int line = 7; line <= 40; ++line) {
        window_->StatusAdd(std::to_string(line) + " " + std::string(200, 'x'));
    }
    QCOMPARE(visible_rows(), QList<int>({35, 36, 37, 38, 39}));
}

void FrmDecodeFileTest::reopensEmptyAfterCancelOrCloseBox() {
    for (const bool close_box : {false, true}) {
        FillPaths(QStringLiteral("/some/e~file.pdf"), QStringLiteral("/some/file.pdf"));
        window_->StatusAdd("line");
        Find<QWidget>("txtDFile")->setFocus();

        if (close_box) {
            window_->windowHandle()->close();
        } else {
            QTest::mouseClick(Find<QPushButton>("cmdCancel"), Qt::LeftButton);
        }
        QVERIFY(window_->isHidden());

        ShowWindow();
        QVERIFY(Find<QLineEdit>("txtEFile")->text().isEmpty());
        QVERIFY(Find<QLineEdit>("txtDFile")->text().isEmpty());
        QVERIFY(Find<QWidget>("lstStatus")->isHidden());
        QVERIFY(StatusLines().isEmpty());
        QCOMPARE(QApplication::focusWidget(), Find<QWidget>("cmdCancel"));
    }
}

QTEST_MAIN(FrmDecodeFileTest)
#include "frm_decode_file_test.moc"
