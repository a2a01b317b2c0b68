// The "e~" file type as desktops see it once the package file is installed:
// built into a database of its own with update-mime-database, and read back
// through Qt's MIME database over that folder and the system's.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class MimePackageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void typesEncryptedNamesByTheirPrefix_data();
    void typesEncryptedNamesByTheirPrefix();

private:
    QTemporaryDir data_dir_;
};

void MimePackageTest::initTestCase() {
    QVERIFY(data_dir_.isValid());
    const QString packages = data_dir_.filePath(QStringLiteral("mime/packages"));
    QVERIFY(QDir().mkpath(packages));
    QVERIFY(QFile::copy(QStringLiteral(ZQ_MIME_PACKAGE), packages + QStringLiteral("/zqdecoder-mime.xml")));

    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {data_dir_.filePath(QStringLiteral("mime"))});
    QVERIFY2(update.waitForFinished(30000), "update-mime-database did not finish");
    QVERIFY2(update.exitStatus() == QProcess::NormalExit && update.exitCode() == 0,
             update.readAllStandardError().constData());
    QVERIFY(QFile::exists(data_dir_.filePath(QStringLiteral("mime/mime.cache"))));

    // Read before the first use of the database in this process.
    qputenv("XDG_DATA_DIRS", (data_dir_.path() + QStringLiteral(":/usr/share")).toUtf8());
}

void MimePackageTest::typesEncryptedNamesByTheirPrefix_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("e~ before a clear name") << QStringLiteral("e~x.pdf") << true;
    QTest::newRow("e~ without an extension") << QStringLiteral("e~notes") << true;
    QTest::newRow("capital E~") << QStringLiteral("E~x.pdf") << false;
    QTest::newRow("the clear name") << QStringLiteral("x.pdf") << false;
    QTest::newRow("e~ inside the name") << QStringLiteral("xe~.pdf") << false;
}

void MimePackageTest::typesEncryptedNamesByTheirPrefix() {
    QFETCH(QString, name);
    QFETCH(bool, encrypted);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QCOMPARE(type.name() == QStringLiteral("application/x-zq-encrypted"), encrypted);
}

QTEST_GUILESS_MAIN(MimePackageTest)
#include "mime_package_test.moc"
