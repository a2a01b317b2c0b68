#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What the chooser's lists read from the disk, apart from any widget.
namespace ui {

// File names compare as the platform's file systems compare them.
#ifdef Q_OS_WIN
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

// A folder as the lists show it and hand it on: absolute, without "." and
// "..", without a closing separator except at a root, native separators.
// The empty text stays empty: it names no folder.
[[nodiscard]] QString NormalFolder(const QString& folder);

// The folders from the root down to `folder` (in normal form), root first.
[[nodiscard]] QStringList FolderChain(const QString& folder);

// `name` inside `folder`, in normal form.
[[nodiscard]] QString PathInFolder(const QString& folder, const QString& name);

// A file pattern in the classic sense: "*" and "?" wildcards, several patterns
// separated by ";", and a closing ".*" that also matches names without a dot,
// so that "*.*" matches every file. An empty pattern matches every file too.
class FilePattern {
public:
    explicit FilePattern(const QString& text);
    [[nodiscard]] bool Matches(const QString& name) const;

private:
    std::vector<QRegularExpression> expressions_;
};

// The subfolders of `folder` and the files in it that match `pattern`, hidden
// ones left out, in name order. Nothing when the folder cannot be read.
[[nodiscard]] std::optional<QStringList> ReadSubfolders(const QString& folder);
[[nodiscard]] std::optional<QStringList> ReadFiles(const QString& folder, const FilePattern& pattern);

}  // namespace ui
