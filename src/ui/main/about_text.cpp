#include "ui/main/about_text.h"

#include "version.h"

namespace ui {

QString VersionText(int major, int minor, int revision) {
    const QChar zero = QLatin1Char('0');
    return QStringLiteral(" v%1.%2.%3").arg(major).arg(minor, 2, 10, zero).arg(revision, 2, 10, zero);
}

QString AboutTitle() {
    return QStringLiteral("About ") + QString::fromUtf8(app::kTitle);
}

QString AboutText() {
    return QStringLiteral("Copyright \u00a9 2026 The ZQ Decoder developers") + QStringLiteral("\r\n") +
           QString::fromUtf8(app::kTitle) + QStringLiteral("\r\n") +
           VersionText(app::kVersionMajor, app::kVersionMinor, app::kVersionRevision);
}

}  // namespace ui
