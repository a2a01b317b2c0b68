#include "jobs/key_store.h"
#include "support/temp_dir.h"
#include "ui/main/remembered_key_writer.h"
#include "ui/support/find_control.h"
#include "window_driver.h"

#include <QApplication>
#include <QRasterWindow>
#include <QScreen>
#include <QTest>
#include <QWindow>

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
    m_Decoder::SaveClientKey("remembered", KeyStoreIn(folder.Path()));
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
    void ClearingTheMarkDuringASaveLeavesNoKeyFile();
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

    // Forgotten as soon as the mark is cleared, and typing brings nothing back.
    driver.Menu("mnuRememberKey").trigger();
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));
    QTest::keyClicks(&driver.ClientKey(), QStringLiteral("x"));
    QTest::qWait(2 * ui::RememberedKeyWriter::kQuietTime.count());
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));
}

void FrmDecodeLifecycleTest::ClearingTheMarkDuringASaveLeavesNoKeyFile() {
    testsupport::TempDir key_folder;
    m_Decoder::KeyStoreSettings key_store = KeyStoreIn(key_folder.Path());
    QAction* remember_key = nullptr;
    key_store.pause_rounds = 3;
    key_store.yield = [&] {
        if (remember_key->isChecked()) {
            remember_key->trigger();
        }
    };
    WindowDriver driver(key_store);
    remember_key = &driver.Menu("mnuRememberKey");
    driver.TypeKey(QStringLiteral("key"));

    remember_key->trigger();

    QVERIFY(!remember_key->isChecked());
    QVERIFY(!std::filesystem::exists(m_Decoder::KeyFilePath(key_store)));
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
    m_Decoder::SaveClientKey("remembered", key_store);
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
