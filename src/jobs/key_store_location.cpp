#include "jobs/key_store_location.h"

#include "platform/native_path.h"
#include "platform/xdg_base_folder.h"

#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace m_Decoder {

std::string ConfigHome(const char* xdg_config_home, const char* home) {
    return platform::XdgBaseFolder(xdg_config_home, home, ".config");
}

bool MayHoldKeyFile(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    // In a folder that others may write, their exit could delete or replace
    // this user's key, and this user's exit theirs.
    if (info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return false;
    }
    // Packaged programs live under /usr: `sudo ZQDecoder` must not leave a key there.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(platform::PathFromUtf8(folder), error);
    if (error) {
        return false;
    }
    const auto first = ++real.begin();
    if (first != real.end() && *first == "usr") {
        return false;
    }
    return ::access(folder.c_str(), W_OK) == 0;
}

std::string KeyFolder(const std::string& executable_folder, const std::string& config_home) {
    if (MayHoldKeyFile(executable_folder)) {
        return executable_folder;
    }
    if (config_home.empty()) {
        return {};
    }
    return config_home + "/zqdecoder";
}

}  // namespace m_Decoder
