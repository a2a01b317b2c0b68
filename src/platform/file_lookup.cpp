#include "platform/file_lookup.h"

#include "platform/file_system.h"
#include "platform/native_path.h"

#include <sys/stat.h>

namespace m_Decoder {

bool FileExists(const std::string& sPath) noexcept {
    try {
        const platform::FileSystemObject fso;
        (void)fso.GetFile(sPath);
        return true;
    } catch (...) {
        // Whatever went wrong, the answer is that there is no file to use.
        return false;
    }
}

bool NameExists(const std::string& sPath) noexcept {
    if (sPath.empty()) {
        return false;
    }
    try {
        struct stat info {};
        // lstat: a link is looked at itself, dangling or not.
        return ::lstat(platform::PathFromUtf8(sPath).c_str(), &info) == 0;
    } catch (...) {
        return false;  // a path that cannot be spelled natively names nothing
    }
}

}  // namespace m_Decoder
