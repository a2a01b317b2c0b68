#include "jobs/key_store.h"
#include "support/temp_dir.h"
#include "support/writer_faults.h"
#include "ui/main/remembered_key_writer.h"
#include "ui/support/find_control.h"
#include "window_driver.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QRasterWindow>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cerrno>
#include <filesystem>

using namespace testsupport;

namespace {

// A window that is none of the program's widgets takes the focus, as another application's would.
bool FocusAnotherApplication(QRasterWindow& another_application) {
    another_application.show();
    return QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; });
}

// The key store in `folder`, which remembers "remembered".
m_Decoder::KeyStoreSettings RememberingIn(const testsupport::TempDir& folder) {
    if (!m_Decoder::SaveClientKey("remembered", KeyStoreIn(folder.Path()))) {
        qWarning("the remembered key could not be written");
    }
    return KeyStoreIn(folder.Path());
}

// A later run, which must find no key and the mark cleared.
void ExpectNothingRemembered(const testsupport::TempDir& key_folder) {
    WindowDriver second_run(KeyStoreIn(key_folder.Path()));
    QVERIFY(second_run.ClientKey().text().isEmpty());
    QVERIFY(!second_run.Menu("mnuRememberKey").isChecked());
}

// A run that starts with "remembered" in its key file and "typed" in the key box.
struct RunWithRememberedKey {
    RunWithRememberedKey() { driver.TypeKey(QStringLiteral("typed")); }

    testsupport::TempDir key_folder;
    WindowDriver driver{RememberingIn(key_folder)};
};

}  // namespace

// Start, return to the window, and end: the remembered key and the windows.
class FrmDecodeLifecycleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void RemembersTheTrimmedKeyAcrossRuns();
    void ForgetsTheKeyWhenTheMarkIsCleared();
    void AnEmptyKeyIsNotRemembered();
    void DecodeAttachmentsShowsOneWindow();
    void TheKeyFileFollowsTheKeyBoxWhileTheMarkIsSet();
    void TheKeyIsWrittenASecondAfterTheLastEdit();
    void ClearingTheMarkForgetsTheKeyBeforeTheMenuReturns();
    void TheMarkChangedDuringTheUnloadsSaveHasTheLastWord_data();
    void TheMarkChangedDuringTheUnloadsSaveHasTheLastWord();
    void AKeyThatCannotBeSavedStaysInTheBox();
    void ReturningFromAnotherWindowRereadsTheRememberedKey();
    void ReturningFromItsOwnMessageBoxChangesNothing();
    void ReturningFromAnotherApplicationChangesNothing();
    void ExitClosesEveryOtherWindow();
    void ACloseDuringTheSavePauseUnloadsOnce();
};

void FrmDecodeLifecycleTest::RemembersTheTrimmedKeyAcrossRuns() {
    testsupport::TempDir key_folder;
    {
        WindowDriver first_run(KeyStoreIn(key_folder.Path()));
        QVERIFY(!first_run.Menu("mnuRememberKey").isChecked());
        first_run.TypeKey(QStringLiteral("  my key  "));
        first_run.Menu("mnuRememberKey").trigger();
        first_run.Menu("mnuExit").trigger();
        QVERIFY(!first_run.Window().isVisible());
    }
    WindowDriver second_run(KeyStoreIn(key_folder.Path()));
    QCOMPARE(second_run.ClientKey().text(), QStringLiteral("my key"));
    QVERIFY(second_run.Menu("mnuRememberKey").isChecked());
}

void FrmDecodeLifecycleTest::ForgetsTheKeyWhenTheMarkIsCleared() {
    testsupport::TempDir key_folder;
    {
        WindowDriver first_run(RememberingIn(key_folder));
        QVERIFY(first_run.Menu("mnuRememberKey").isChecked());
        first_run.Menu("mnuRememberKey").trigger();
        // The close box ends the program as Exit does.
        first_run.Window().close();
    }
    QVERIFY(!std::filesystem::exists(key_folder / m_Decoder::kKeyFileName));
    ExpectNothingRemembered(key_folder);
}

void FrmDecodeLifecycleTest::AnEmptyKeyIsNotRemembered() {
    testsupport::TempDir key_folder;
    {
        WindowDriver first_run(KeyStoreIn(key_folder.Path()));
        first_run.TypeKey(QStringLiteral("   "));
        first_run.Menu("mnuRememberKey").trigger();
        first_run.Menu("mnuExit").trigger();
    }
    ExpectNothingRemembered(key_folder);
}

void FrmDecodeLifecycleTest::DecodeAttachmentsShowsOneWindow() {
    testsupport::TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    driver.Click("cmdDecodeAttachments");  // no attachment window yet: nothing happens

    int made = 0;
    QWidget* made_window = nullptr;
    driver.Window().SetFileWindowFactory([&] {
        ++made;
        auto window = std::make_unique<QWidget>();
        made_window = window.get();
        return window;
    });
    driver.Click("cmdDecodeAttachments");
    QVERIFY(QTest::qWaitForWindowActive(made_window));
    // Beside the main window, on platforms that let a program place its windows:
    // to its right as far as the screen allows (the main window starts at its left edge).
    QVERIFY(made_window->x() > driver.Window().frameGeometry().left());
    QVERIFY(driver.Window().screen()->availableGeometry().contains(made_window->geometry()));
    made_window->close();
    driver.Click("cmdDecodeAttachments");

    QCOMPARE(made, 1);
    QVERIFY(made_window->isVisible());
    QVERIFY(made_window->parentWidget() == nullptr);
    QVERIFY(!made_window->isModal());
    QVERIFY(driver.Window().isEnabled());
}

void FrmDecodeLifecycleTest::TheKeyFileFollowsTheKeyBoxWhileTheMarkIsSet() {
    testsupport::TempDir key_folder;
    const m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    WindowDriver driver(key_store);
    driver.TypeKey(QStringLiteral(" early "));
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));

    // Written as soon as the mark is set, then after each pause in the typing.
    driver.Menu("mnuRememberKey").trigger();
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("early"));
    QTest::keyClicks(&driver.ClientKey(), QStringLiteral("later "));
    QTRY_COMPARE(m_Decoder::LoadClientKey(key_store), std::string("early later"));

    // Forgotten as soon as the mark is cleared, with the write that was
    // waiting, and typing brings nothing back.
    QTest::keyClicks(&driver.ClientKey(), QStringLiteral("y"));
    driver.Menu("mnuRememberKey").trigger();
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));
    QTest::keyClicks(&driver.ClientKey(), QStringLiteral("x"));
    QTest::qWait(2 * ui::RememberedKeyWriter::kQuietTime.count());
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));
}

void FrmDecodeLifecycleTest::TheKeyIsWrittenASecondAfterTheLastEdit() {
    testsupport::TempDir key_folder;
    const m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    WindowDriver driver(key_store);
    driver.Menu("mnuRememberKey").trigger();

    // Each edit comes well within the quiet time of the one before.
    QElapsedTimer since_last_edit;
    for (const char key : {'a', 'b', 'c', 'd'}) {
        if (since_last_edit.isValid()) {
            QTest::qWait(600);
        }
        QTest::keyClick(&driver.ClientKey(), key);
        since_last_edit.start();
    }
    QTRY_COMPARE(m_Decoder::LoadClientKey(key_store), std::string("abcd"));
    QVERIFY2(since_last_edit.elapsed() >= 900, qPrintable(QString::number(since_last_edit.elapsed())));
}

void FrmDecodeLifecycleTest::ClearingTheMarkForgetsTheKeyBeforeTheMenuReturns() {
    testsupport::TempDir key_folder;
    m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    QAction* remember_key = nullptr;
    bool gone_when_the_menu_returned = true;
    const auto clear_the_mark = [&] {
        remember_key->trigger();
        gone_when_the_menu_returned &= !std::filesystem::exists(m_Decoder::KeyFilePath(key_store));
    };
    // Should a save made while typing pause, the user clears the mark in it.
    key_store.pause_rounds = 3;
    key_store.yield = [&] {
        if (remember_key != nullptr && remember_key->isChecked()) {
            clear_the_mark();
        }
    };
    WindowDriver driver(key_store);
    driver.Menu("mnuRememberKey").trigger();
    remember_key = &driver.Menu("mnuRememberKey");
    QTest::keyClicks(&driver.ClientKey(), QStringLiteral("key"));
    QTRY_VERIFY(m_Decoder::LoadClientKey(key_store) == "key" || !remember_key->isChecked());
    if (remember_key->isChecked()) {
        clear_the_mark();
    }

    QVERIFY(gone_when_the_menu_returned);
}

void FrmDecodeLifecycleTest::TheMarkChangedDuringTheUnloadsSaveHasTheLastWord_data() {
    QTest::addColumn<bool>("set_again");
    QTest::newRow("cleared") << false;
    QTest::newRow("cleared and set again") << true;
}

void FrmDecodeLifecycleTest::TheMarkChangedDuringTheUnloadsSaveHasTheLastWord() {
    QFETCH(bool, set_again);
    testsupport::TempDir key_folder;
    m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    QAction* remember_key = nullptr;
    int rounds = 0;
    key_store.pause_rounds = 3;
    key_store.yield = [&] {
        if (++rounds == 1) {
            remember_key->trigger();
            if (set_again) {
                remember_key->trigger();
            }
        }
    };
    WindowDriver driver(key_store);
    remember_key = &driver.Menu("mnuRememberKey");
    driver.TypeKey(QStringLiteral("key"));
    remember_key->trigger();

    driver.Menu("mnuExit").trigger();

    QCOMPARE(rounds, 3);
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string(set_again ? "key" : ""));
    QCOMPARE(std::filesystem::exists(m_Decoder::KeyFilePath(key_store)), set_again);
}

void FrmDecodeLifecycleTest::AKeyThatCannotBeSavedStaysInTheBox() {
    testsupport::TempDir key_folder;
    const m_Decoder::KeyStoreSettings key_store = RememberingIn(key_folder);
    WindowDriver driver(key_store);
    driver.Window().SetFileWindowFactory([] { return std::make_unique<QWidget>(); });
    MessageBoxRecorder recorder;
    QAccessibleEditableTextInterface* screen_reader =
        QAccessible::queryAccessibleInterface(&driver.ClientKey())->editableTextInterface();
    {
        const platform::publish::SyncFailure full_disk(ENOSPC);
        // Set as a screen reader sets it, which Qt does not count as typing.
        screen_reader->replaceText(0, 10, QStringLiteral("NEWKEY"));
        QTRY_COMPARE(recorder.Boxes().size(), 1);
        driver.Click("cmdDecodeAttachments");
        QTRY_VERIFY(QApplication::activeWindow() != &driver.Window());
        QTest::keyClicks(&driver.ClientKey(), QStringLiteral("2"));
        driver.Activate();
        QCoreApplication::processEvents();
    }
    QCOMPARE(driver.ClientKey().text(), QStringLiteral("NEWKEY2"));
    QVERIFY(driver.Menu("mnuRememberKey").isChecked());
    QCOMPARE(recorder.Boxes(), (QList<QPair<QString, QString>>{
                                   {QStringLiteral("Norvane Mailvox Decoder"),
                                    QStringLiteral("The key could not be saved, so it will not be remembered after "
                                                   "you close the program.")}}));
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("remembered"));

    // The next change tries again.
    screen_reader->replaceText(7, 7, QStringLiteral("3"));
    QTRY_COMPARE(m_Decoder::LoadClientKey(key_store), std::string("NEWKEY23"));
}

void FrmDecodeLifecycleTest::ReturningFromAnotherWindowRereadsTheRememberedKey() {
    RunWithRememberedKey run;
    WindowDriver& driver = run.driver;
    const m_Decoder::KeyStoreSettings key_store = KeyStoreIn(run.key_folder.Path());
    driver.Window().SetFileWindowFactory([] { return std::make_unique<QWidget>(); });

    // The key typed with the mark set is the remembered one, even when the
    // user leaves before it was written.
    driver.Click("cmdDecodeAttachments");
    QTRY_VERIFY(QApplication::activeWindow() != &driver.Window());
    driver.Activate();
    QCOMPARE(driver.ClientKey().text(), QStringLiteral("typed"));
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("typed"));

    // A key remembered meanwhile, as by another run of the program, is put back
    // and sets the mark, also when the user passed through another application.
    driver.Menu("mnuRememberKey").trigger();
    QVERIFY(!driver.Menu("mnuRememberKey").isChecked());
    QVERIFY(m_Decoder::SaveClientKey("remembered", key_store));
    driver.Click("cmdDecodeAttachments");
    QTRY_VERIFY(QApplication::activeWindow() != &driver.Window());
    QRasterWindow another_application;
    QVERIFY(FocusAnotherApplication(another_application));
    driver.Activate();

    QCOMPARE(driver.ClientKey().text(), QStringLiteral("remembered"));
    QVERIFY(driver.Menu("mnuRememberKey").isChecked());
}

void FrmDecodeLifecycleTest::ReturningFromItsOwnMessageBoxChangesNothing() {
    RunWithRememberedKey run;
    WindowDriver& driver = run.driver;
    MessageBoxRecorder recorder;

    driver.Menu("mnuAbout").trigger();
    driver.Paste(driver.Encrypted(), QStringLiteral("abc"));
    driver.TypeKey(QStringLiteral("   "));
    driver.Click("cmdDecode");
    driver.Activate();

    QCOMPARE(recorder.Boxes().size(), 2);
    QCOMPARE(driver.ClientKey().text(), QStringLiteral("   "));
}

void FrmDecodeLifecycleTest::ReturningFromAnotherApplicationChangesNothing() {
    RunWithRememberedKey run;

    QRasterWindow another_application;
    QVERIFY(FocusAnotherApplication(another_application));
    run.driver.Activate();

    QCOMPARE(run.driver.ClientKey().text(), QStringLiteral("typed"));
}

void FrmDecodeLifecycleTest::ExitClosesEveryOtherWindow() {
    testsupport::TempDir key_folder;
    WindowDriver driver(KeyStoreIn(key_folder.Path()));
    QWidget* file_window = nullptr;
    driver.Window().SetFileWindowFactory([&] {
        auto window = std::make_unique<QWidget>();
        file_window = window.get();
        return window;
    });
    driver.Click("cmdDecodeAttachments");
    QWidget unrelated_window;
    unrelated_window.show();

    driver.Menu("mnuExit").trigger();

    QVERIFY(!driver.Window().isVisible());
    QVERIFY(!file_window->isVisible());
    QVERIFY(!unrelated_window.isVisible());
}

void FrmDecodeLifecycleTest::ACloseDuringTheSavePauseUnloadsOnce() {
    testsupport::TempDir key_folder;
    m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    int rounds = 0;
    frmDecode* window = nullptr;
    key_store.pause_rounds = 3;
    key_store.yield = [&] {
        // The user presses the close box, then Exit, again while the key is being saved.
        if (window == nullptr) {
            return;
        }
        if (++rounds == 1) {
            window->windowHandle()->close();
            testsupport::Find<QAction>(*window, "mnuExit").trigger();
        }
    };
    WindowDriver driver(key_store);
    driver.TypeKey(QStringLiteral("key"));
    driver.Menu("mnuRememberKey").trigger();
    window = &driver.Window();

    driver.Menu("mnuExit").trigger();

    QCOMPARE(rounds, 3);
    QVERIFY(!driver.Window().isVisible());
    QCOMPARE(m_Decoder::LoadClientKey(key_store), std::string("key"));
}

QTEST_MAIN(FrmDecodeLifecycleTest)
#include "frm_decode_lifecycle_test.moc"
