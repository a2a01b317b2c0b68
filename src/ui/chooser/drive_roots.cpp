#include "ui/chooser/drive_roots.h"

#include "ui/chooser/folder_reading.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace ui {
namespace {

[[nodiscard]] bool IsInside(const QString& folder, const QString& root) {
    if (folder.compare(root, kFileNameCase) == 0) {
        return true;
    }
    const QString prefix = root.endsWith(QDir::separator()) ? root : root + QDir::separator();
    return folder.startsWith(prefix, kFileNameCase);
}

#ifndef Q_OS_WIN
[[nodiscard]] bool IsWhereUsersMountDisks(const QString& root) {
    const QStringList places = {QStringLiteral("/media"), QStringLiteral("/run/media"), QStringLiteral("/mnt"),
                                QStringLiteral("/Volumes"), NormalFolder(QDir::homePath())};
    return std::any_of(places.begin(), places.end(), [&root](const QString& place) {
        return root.compare(place, kFileNameCase) != 0 && IsInside(root, place);
    });
}
#endif

}  // namespace

QStringList BrowsableRoots() {
    QStringList roots;
#ifdef Q_OS_WIN
    // Every drive letter, ready or not: choosing an empty drive is refused when it is chosen.
    for (const QFileInfo& drive : QDir::drives()) {
        roots.append(NormalFolder(drive.absoluteFilePath()));
    }
#else
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = NormalFolder(volume.rootPath());
        if (volume.isValid() && volume.isReady() && IsWhereUsersMountDisks(root) && QFileInfo(root).isDir()) {
            roots.append(root);
        }
    }
    std::sort(roots.begin(), roots.end());
    roots.prepend(QStringLiteral("/"));
#endif
    roots.removeDuplicates();
    return roots;
}

QString RootHolding(const QString& folder, const QStringList& roots) {
    const QString normal = NormalFolder(folder);
    QString holder;
    qsizetype holder_length = -1;
    for (const QString& root : roots) {
        const QString normal_root = NormalFolder(root);
        if (!normal.isEmpty() && !normal_root.isEmpty() && IsInside(normal, normal_root) &&
            normal_root.size() > holder_length) {
            holder = root;
            holder_length = normal_root.size();
        }
    }
    return holder;
}

}  // namespace ui
