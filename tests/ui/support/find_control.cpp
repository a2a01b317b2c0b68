#include "find_control.h"

#include <QByteArray>
#include <QTest>

namespace testsupport {

void FailOnMissingControl(const QObject& parent, const QString& name, const char* type, const char* file, int line) {
    const QString owner =
        parent.objectName().isEmpty() ? QString::fromLatin1(parent.metaObject()->className()) : parent.objectName();
    const QByteArray message =
        QStringLiteral("no %1 named %2 in %3").arg(QString::fromLatin1(type), name, owner).toUtf8();
    QTest::qFail(message.constData(), file, line);
    qFatal("%s", message.constData());
}

}  // namespace testsupport
