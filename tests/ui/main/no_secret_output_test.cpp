// No client key and no clear text ever reaches standard error, where a
// terminal, a desktop session's log or a crash reporter would keep it.
#include "cipher/file_container.h"
#include "cipher/text_cipher.h"
#include "platform/crypt/crypto_provider.h"
#include "support/captured_stderr.h"
#include "support/crypto_faults.h"
#include "support/temp_dir.h"
#include "ui/byte_text.h"
#include "window_driver.h"

#include <QTest>

#include <cstdio>

using namespace testsupport;

namespace {

const std::string kKey = "zq-marker-key-5b1e";
const std::string kClear = "zq-marker-clear-text-93c4";

// Qt Test sends Qt's messages to its own log; the program's default handler
// writes them to standard error, which is what the capture must see.
class DefaultMessageHandler {
public:
    DefaultMessageHandler() : previous_(qInstallMessageHandler(nullptr)) {}
    ~DefaultMessageHandler() { qInstallMessageHandler(previous_); }
    DefaultMessageHandler(const DefaultMessageHandler&) = delete;
    DefaultMessageHandler& operator=(const DefaultMessageHandler&) = delete;

private:
    QtMessageHandler previous_;
};

bool Holds(const std::string& output, const std::string& secret) {
    return output.find(secret) != std::string::npos;
}

}  // namespace

class NoSecretOutputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void TheCaptureSeesWhatIsWritten();
    void TheWindowAndTheKeyStoreWriteNoSecret();
    void FileOperationsWriteNoSecretEvenWhenTheyFail();
};

// Without this, the other cases could pass on a capture that catches nothing.
void NoSecretOutputTest::TheCaptureSeesWhatIsWritten() {
    const DefaultMessageHandler handler;
    CapturedStderr capture;
    std::fprintf(stderr, "%s\n", kKey.c_str());
    qWarning("%s", kClear.c_str());
    const std::string output = capture.Finish();
    QVERIFY(Holds(output, kKey));
    QVERIFY(Holds(output, kClear));
}

void NoSecretOutputTest::TheWindowAndTheKeyStoreWriteNoSecret() {
    testsupport::TempDir key_folder;
    const DefaultMessageHandler handler;
    CapturedStderr capture;
    {
        WindowDriver driver(KeyStoreIn(key_folder.Path()));
        driver.Paste(driver.Encrypted(), ui::TextFromBytes(m_Decoder::EncodeText(kClear, kKey)));
        driver.TypeKey(QString::fromStdString(kKey));
        driver.Click("cmdDecode");
        QCOMPARE(ui::BytesFromText(driver.ClearText().toPlainText()), kClear);
        driver.Menu("mnuRememberKey").trigger();
        driver.Menu("mnuExit").trigger();
    }
    {
        WindowDriver second_run(KeyStoreIn(key_folder.Path()));
        QCOMPARE(ui::BytesFromText(second_run.ClientKey().text()), kKey);
    }
    const std::string output = capture.Finish();
    QVERIFY2(!Holds(output, kKey), output.c_str());
    QVERIFY2(!Holds(output, kClear), output.c_str());
}

void NoSecretOutputTest::FileOperationsWriteNoSecretEvenWhenTheyFail() {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "plain", kClear);
    const std::string plain = (dir / "plain").string();
    const std::string sealed = (dir / "sealed").string();
    const DefaultMessageHandler handler;
    CapturedStderr capture;
    QCOMPARE(m_Encryption::EncryptFileWithSalt(plain, sealed, kKey), std::string());
    QCOMPARE(m_Encryption::DecryptFileWithSalt(sealed, (dir / "clear").string(), kKey), std::string());
    {
        const platform::crypt::CryptCallFailure failure(platform::crypt::CryptCall::kDecrypt,
                                                        platform::crypt::kNteFail);
        QVERIFY(!m_Encryption::DecryptFileWithSalt(sealed, (dir / "again").string(), kKey).empty());
    }
    QVERIFY(!m_Encryption::EncryptFileWithSalt((dir / "missing").string(), sealed, kKey).empty());
    const std::string output = capture.Finish();
    QCOMPARE(testsupport::ReadFile(dir / "clear"), kClear);
    QVERIFY2(!Holds(output, kKey), output.c_str());
    QVERIFY2(!Holds(output, kClear), output.c_str());
}

QTEST_MAIN(NoSecretOutputTest)
#include "no_secret_output_test.moc"
