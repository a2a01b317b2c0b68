// The remembered key in a real GNOME Keyring, on the private session bus that
// keyring_session.sh makes, and the key file where no keyring runs.
#include "jobs/key_store.h"
#include "support/temp_dir.h"
#include "ui/main/keyring_key_store.h"
#include "ui/main/program_key_store.h"
#include "window_driver.h"

#include <QProcess>
#include <QTest>

#include <filesystem>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// The secret stored under the program's service, as secret-tool finds it by
// the attribute the README names; empty when there is none.
QByteArray SecretInKeyring() {
    QProcess lookup;
    lookup.start(QStringLiteral("secret-tool"),
                 {QStringLiteral("lookup"), QStringLiteral("server"), QString::fromLatin1(ui::kKeyringService)});
    lookup.waitForFinished();
    return lookup.readAllStandardOutput();
}

// A program installed in a folder that others may write, which therefore
// keeps no key beside itself, and the user's configuration folder.
struct Install {
    Install() { fs::permissions(program.Path(), fs::perms::group_write, fs::perm_options::add); }

    [[nodiscard]] std::unique_ptr<ui::RememberedKeyStore> Store() const {
        return ui::KeyStoreFor(program.Path().string(), config.Path().string());
    }
    // Where the key file would be: the configuration folder's.
    [[nodiscard]] m_Decoder::KeyStoreSettings KeyFile() const { return KeyStoreIn(config / "zqdecoder"); }
    [[nodiscard]] bool NoKeyFile() const {
        return !fs::exists(m_Decoder::KeyFilePath(KeyFile())) && !fs::exists(program / m_Decoder::kKeyFileName);
    }

    TempDir program;
    TempDir config;
};

}  // namespace

class KeyringTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theKeyIsKeptInTheKeyringAndComesBack();
    void anOldKeyFileIsMovedIn();
    void clearingTheMarkRemovesTheSecretAtOnce();
    void withoutAKeyringTheKeyFileIsUsedWithoutWaiting();
};

void KeyringTest::theKeyIsKeptInTheKeyringAndComesBack() {
    const Install install;
    {
        WindowDriver first_run(install.Store());
        first_run.Menu("mnuRememberKey").trigger();
        // Typed after the first write started: the unload waits for both.
        first_run.TypeKey(QStringLiteral("my key"));
        first_run.Menu("mnuExit").trigger();
    }
    WindowDriver second_run(install.Store());
    QTRY_COMPARE(second_run.ClientKey().text(), QStringLiteral("my key"));
    QVERIFY(second_run.Menu("mnuRememberKey").isChecked());
    QVERIFY(!SecretInKeyring().isEmpty());
    QVERIFY(install.NoKeyFile());
}

void KeyringTest::anOldKeyFileIsMovedIn() {
    const Install install;
    QVERIFY(m_Decoder::SaveClientKey("old key", install.KeyFile()));
    {
        std::unique_ptr<ui::RememberedKeyStore> store = install.Store();
        // The file goes only once the keyring has taken the key.
        QVERIFY(!install.NoKeyFile());
        WindowDriver first_run(std::move(store));
        QCOMPARE(first_run.ClientKey().text(), QStringLiteral("old key"));
        QTRY_VERIFY(install.NoKeyFile());
    }
    WindowDriver second_run(install.Store());
    QTRY_COMPARE(second_run.ClientKey().text(), QStringLiteral("old key"));
    QVERIFY(second_run.Menu("mnuRememberKey").isChecked());
}

void KeyringTest::clearingTheMarkRemovesTheSecretAtOnce() {
    const Install install;
    WindowDriver driver(install.Store());
    driver.TypeKey(QStringLiteral("key"));
    driver.Menu("mnuRememberKey").trigger();
    QTRY_VERIFY(!SecretInKeyring().isEmpty());

    driver.Menu("mnuRememberKey").trigger();
    QTRY_VERIFY(SecretInKeyring().isEmpty());
}

void KeyringTest::withoutAKeyringTheKeyFileIsUsedWithoutWaiting() {
    const Install install;
    QVERIFY(m_Decoder::SaveClientKey("file key", install.KeyFile()));
    WindowDriver driver(install.Store());
    QCOMPARE(driver.ClientKey().text(), QStringLiteral("file key"));

    // Each change is in the file when the menu returns.
    driver.TypeKey(QStringLiteral("new key"));
    driver.Menu("mnuRememberKey").trigger();
    QVERIFY(install.NoKeyFile());
    driver.Menu("mnuRememberKey").trigger();
    QCOMPARE(m_Decoder::LoadClientKey(install.KeyFile()), std::string("new key"));
}

QTEST_MAIN(KeyringTest)
#include "keyring_test.moc"
