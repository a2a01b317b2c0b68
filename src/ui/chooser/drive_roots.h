#pragma once

#include <QString>
#include <QStringList>

namespace ui {

// The roots that the drive list offers, in normal form. On Windows these are
// the drive letters. Elsewhere they are "/" and the volumes mounted where
// removable and extra disks go (/media, /run/media, /mnt, /Volumes, the home
// folder); system mounts such as /proc or /boot stay out of the way.
[[nodiscard]] QStringList BrowsableRoots();

// The root among `roots` that holds `folder`: the longest one that is the
// folder itself or one of its parents. Empty when none of them holds it.
[[nodiscard]] QString RootHolding(const QString& folder, const QStringList& roots);

}  // namespace ui
