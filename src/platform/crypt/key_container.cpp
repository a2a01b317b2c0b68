#include "platform/crypt/key_container.h"

#include "platform/crypt/crypto_provider.h"
#include "platform/crypt/provider_objects.h"
#include "platform/unique_fd.h"
#include "platform/xdg_base_folder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::crypt {
namespace {

using detail::ProviderFailure;

constexpr std::size_t kLongestName = 160;
constexpr std::string_view kRecordSuffix = ".keyset";
constexpr std::string_view kRecordText = "ZQ Decoder key container. It holds no keys.\n";

// $HOME when it is an absolute path, else the password database's; empty
// when neither knows one.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

// Container names are the caller's text; the record's file name spells every
// byte outside a small safe set as %XX, so no name can leave the folder.
std::string RecordFileName(const std::string& name) {
    if (name.empty() || name.size() > kLongestName) {
        throw ProviderFailure{kNteBadKeysetParam};
    }
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string file_name;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') ||
            code == '-' || code == '_') {
            file_name.push_back(c);
        } else {
            file_name += {'%', kHex[code >> 4], kHex[code & 0xF]};
        }
    }
    file_name += kRecordSuffix;
    return file_name;
}

// Creates each missing folder on the way, owner-only, as the XDG base
// directory rules ask of the data folder itself.
void MakeFolders(const std::filesystem::path& folder) {
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0) {
            continue;
        }
        struct stat info {};
        if (errno != EEXIST || ::stat(partial.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            throw ProviderFailure{kNteFail};
        }
    }
}

void MakeRecord(const std::filesystem::path& record) {
    // O_EXCL makes creation the test for an existing container, and refuses a planted link.
    UniqueFd fd(::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
        throw ProviderFailure{errno == EEXIST ? kNteExists : kNteFail};
    }
    std::string_view text = kRecordText;
    while (!text.empty()) {
        const ssize_t written = ::write(fd.Get(), text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ::unlink(record.c_str());
            throw ProviderFailure{kNteFail};
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    if (fd.Close() != 0) {
        ::unlink(record.c_str());
        throw ProviderFailure{kNteFail};
    }
}

// Containers whose record could not be written (no home folder, a data
// folder that cannot be made or written) live here for the life of the
// process. A container holds nothing that a later session needs to find, so
// no session fails for want of its folder. They are known by the record's
// path, or by its file name alone when there is no folder at all.
class ContainersInMemory {
public:
    void Add(const std::string& place) {
        const std::lock_guard lock(mutex_);
        if (!places_.insert(place).second) {
            throw ProviderFailure{kNteExists};
        }
    }
    [[nodiscard]] bool Contains(const std::string& place) {
        const std::lock_guard lock(mutex_);
        return places_.contains(place);
    }

private:
    std::mutex mutex_;
    std::set<std::string> places_;
};

ContainersInMemory& InMemory() {
    static ContainersInMemory containers;
    return containers;
}

// The record's path, or nothing when there is no folder for it.
std::optional<std::filesystem::path> RecordPath(const std::string& file_name) {
    try {
        return KeyContainerFolder() / file_name;
    } catch (const ProviderFailure&) {
        return std::nullopt;
    }
}

std::string PlaceInMemory(const std::optional<std::filesystem::path>& record, const std::string& file_name) {
    return record ? record->string() : file_name;
}

}  // namespace

std::filesystem::path KeyContainerFolder() {
    const std::string data_home = XdgBaseFolder(std::getenv("XDG_DATA_HOME"), HomeFolder().c_str(), ".local/share");
    if (data_home.empty()) {
        throw ProviderFailure{kNteFail};
    }
    return std::filesystem::path(data_home) / "zqdecoder";
}

void CreateKeyContainer(const std::string& name) {
    const std::string file_name = RecordFileName(name);
    const std::optional<std::filesystem::path> record = RecordPath(file_name);
    if (InMemory().Contains(PlaceInMemory(record, file_name))) {
        throw ProviderFailure{kNteExists};
    }
    if (record) {
        try {
            MakeFolders(record->parent_path());
            MakeRecord(*record);
            return;
        } catch (const ProviderFailure& failure) {
            if (failure.code == kNteExists) {
                throw;
            }
        }
    }
    InMemory().Add(PlaceInMemory(record, file_name));
}

void OpenKeyContainer(const std::string& name) {
    const std::string file_name = RecordFileName(name);
    const std::optional<std::filesystem::path> record = RecordPath(file_name);
    if (InMemory().Contains(PlaceInMemory(record, file_name))) {
        return;
    }
    struct stat info {};
    if (!record || ::lstat(record->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw ProviderFailure{kNteBadKeyset};
    }
}

}  // namespace platform::crypt
