#include "ui/chooser/folder_reading.h"

#include "platform/native_path.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ui {
namespace {

enum class EntryKind { kFolder, kFile };

// Case-blind first, so that "alpha", "Beta" and "gamma" stay together; then by
// case, so that the order never depends on how the folder happened to list.
bool NameLess(const QString& left, const QString& right) {
    const int blind = left.compare(right, Qt::CaseInsensitive);
    return blind != 0 ? blind < 0 : left < right;
}

std::optional<QStringList> ReadEntries(const QString& folder, EntryKind kind, const FilePattern* pattern) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::directory_iterator entry(platform::PathFromUtf8(folder.toStdString()), error);
    if (error) {
        return std::nullopt;
    }
    QStringList names;
    for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (error) {
            return std::nullopt;
        }
        std::error_code ignored;  // an entry that vanished meanwhile is neither
        const bool wanted = kind == EntryKind::kFolder ? entry->is_directory(ignored) : entry->is_regular_file(ignored);
        if (!wanted) {
            continue;
        }
        const QString name = QString::fromStdString(platform::Utf8FromPath(entry->path().filename()));
        if (QFileInfo(PathInFolder(folder, name)).isHidden() || (pattern != nullptr && !pattern->Matches(name))) {
            continue;
        }
        names.append(name);
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

}  // namespace

QString NormalFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QStringList FolderChain(const QString& folder) {
    QStringList chain;
    QString current = QDir::fromNativeSeparators(NormalFolder(folder));
    while (!current.isEmpty()) {
        chain.prepend(QDir::toNativeSeparators(current));
        const QString parent = QFileInfo(current).path();
        if (QDir(current).isRoot() || parent == current) {
            break;
        }
        current = parent;
    }
    return chain;
}

QString PathInFolder(const QString& folder, const QString& name) {
    return NormalFolder(QDir(folder).filePath(name));
}

FilePattern::FilePattern(const QString& text) {
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty()) {
            continue;
        }
        expressions_.push_back(QRegularExpression::fromWildcard(pattern, kFileNameCase));
        if (pattern.endsWith(QStringLiteral(".*"))) {
            expressions_.push_back(QRegularExpression::fromWildcard(pattern.chopped(2), kFileNameCase));
        }
    }
}

bool FilePattern::Matches(const QString& name) const {
    return expressions_.empty() ||
           std::any_of(expressions_.begin(), expressions_.end(),
                       [&name](const QRegularExpression& e) { return e.match(name).hasMatch(); });
}

std::optional<QStringList> ReadSubfolders(const QString& folder) {
    return ReadEntries(folder, EntryKind::kFolder, nullptr);
}

std::optional<QStringList> ReadFiles(const QString& folder, const FilePattern& pattern) {
    return ReadEntries(folder, EntryKind::kFile, &pattern);
}

}  // namespace ui
