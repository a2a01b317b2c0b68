#include "ui/files/browse.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ui {

std::optional<QString> DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(desktop);
}

}  // namespace ui
