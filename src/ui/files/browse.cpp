#include "ui/files/browse.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace ui {

std::optional<QString> DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(desktop);
}

std::string ProposedDestination(const std::string& chosen, char cSep) {
    std::string folder;
    std::string file;
    std::string base;
    if (m_Decoder::FileExists(chosen)) {
        const std::size_t last_separator = chosen.rfind(cSep);
        // A bare name is a file in the current folder: the proposal stays there too, not in the root.
        folder = last_separator == std::string::npos ? std::string() : chosen.substr(0, last_separator + 1);
        file = last_separator == std::string::npos ? chosen : chosen.substr(last_separator + 1);
        base = file.substr(0, file.find('.'));
    } else {
        folder = m_Decoder::GetFolderFromPath(chosen, cSep) + cSep;
        file = m_Decoder::GetFileFromPath(chosen, cSep);
        base = m_Decoder::GetBaseNameFromPath(chosen, cSep);
    }
    if (base.starts_with("e~")) {
        // Without its first two characters; a typed "e~notes" has a base but no file name at all.
        return folder + file.substr(std::min<std::size_t>(2, file.size()));
    }
    return folder + "DECODED" + file;
}

}  // namespace ui
