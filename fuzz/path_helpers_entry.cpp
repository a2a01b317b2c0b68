#include "path_helpers_entry.h"

#include "util/path_helpers.h"

#include <exception>

namespace zqfuzz {
namespace {

using m_Decoder::GetBaseNameFromPath;
using m_Decoder::GetFileFromPath;
using m_Decoder::GetFolderFromPath;

bool Contains(const std::string& text, char c) {
    return text.find(c) != std::string::npos;
}

std::string LastComponent(const std::string& path, char separator) {
    const std::size_t last = path.rfind(separator);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string CheckFolder(const std::string& path, char separator) {
    const std::string folder = GetFolderFromPath(path, separator);
    if (folder == path) {
        return "";
    }
    const bool without_closing_separator = folder.size() + 1 == path.size() && path.back() == separator;
    const std::size_t last = path.rfind(separator);
    const bool without_file_name = last == std::string::npos ? folder.empty() : folder == path.substr(0, last);
    if (!path.starts_with(folder) || !(without_closing_separator || without_file_name)) {
        return "the folder is neither the path, nor the path less its closing separator or its file name";
    }
    return "";
}

std::string CheckFile(const std::string& path, char separator) {
    const std::string file = GetFileFromPath(path, separator);
    const std::string last = LastComponent(path, separator);
    if (file != (Contains(last, '.') ? last : std::string())) {
        return "the file is not the last component with a dot";
    }
    const std::string base = GetBaseNameFromPath(path, separator);
    if (Contains(base, '.') || Contains(base, separator) || !last.starts_with(base)) {
        return "the base name is not a dot-free leading part of the last component";
    }
    if (!file.empty() && base != file.substr(0, file.find('.'))) {
        return "the base name is not the file name up to its first dot";
    }
    return "";
}

std::string CheckTrimAtNull(const std::string& buffer) {
    const std::string trimmed = m_Decoder::TrimAtNull(buffer);
    if (!buffer.starts_with(trimmed) || Contains(trimmed, '\0') ||
        (trimmed.size() < buffer.size() && buffer[trimmed.size()] != '\0')) {
        return "TrimAtNull did not cut at the first NUL";
    }
    return "";
}

}  // namespace

std::string CutPath(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    try {
        for (const char separator : {'\\', '/'}) {
            for (const std::string& broken : {CheckFolder(path, separator), CheckFile(path, separator)}) {
                if (!broken.empty()) {
                    return broken + (separator == '/' ? " (separator /)" : " (separator \\)");
                }
            }
        }
        return CheckTrimAtNull(path);
    } catch (const std::exception& error) {
        return std::string("a path helper threw: ") + error.what();
    }
}

}  // namespace zqfuzz
