#include "jobs/key_store.h"

#include "cipher/text_cipher.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace m_Decoder {
namespace {

using platform::RuntimeError;

// The file holds one encoded key and its line ending. One byte more than the
// longest such file tells a file the cipher could not take, without reading
// all of what might be a very large file.
constexpr std::size_t kLongestKeyFile = kLongestText + 2 + 1;

// Kept reversed, so that the scrambling key is not one string in the program.
std::string ScramblingKey() {
    std::string key = "VASKORMEDU";
    std::reverse(key.begin(), key.end());
    return key;
}

std::string PathOrRaise(const KeyStoreSettings& settings) {
    std::string path = KeyFilePath(settings);
    if (path.empty()) {
        throw RuntimeError(platform::err::kPathNotFound);
    }
    return path;
}

// The user's configuration folder may not exist yet; the program's own folder always does.
void CreateFolder(const std::string& folder) {
    std::error_code ignored;
    if (std::filesystem::create_directories(platform::PathFromUtf8(folder), ignored)) {
        std::filesystem::permissions(platform::PathFromUtf8(folder), std::filesystem::perms::owner_all, ignored);
    }
}

// Another user's key file is never read, replaced or deleted: it is theirs,
// and its content could be planted to hand this user a key of their choice.
// A missing file belongs to nobody and may be made. Saving and deleting
// work on the name, so a link of the user's own may go; reading follows it,
// so what it leads to must be the user's too.
enum class KeyFileUse { kName, kContent };

void RequireOwnKeyFile(const std::string& path, KeyFileUse use) {
    const uid_t user = ::geteuid();
    struct stat link_info {};
    if (::lstat(path.c_str(), &link_info) != 0) {
        return;
    }
    struct stat info {};
    if (link_info.st_uid != user ||
        (use == KeyFileUse::kContent && ::stat(path.c_str(), &info) == 0 && info.st_uid != user)) {
        throw RuntimeError(platform::err::kPermissionDenied);
    }
}

// Drops one line ending at the very end: CR LF, or a lone LF.
std::string WithoutFinalLineEnding(std::string text) {
    if (text.ends_with("\r\n")) {
        text.resize(text.size() - 2);
    } else if (text.ends_with('\n')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::string KeyFilePath(const KeyStoreSettings& settings) {
    if (settings.folder.empty()) {
        return {};
    }
    return settings.folder + "/" + kKeyFileName;
}

bool SaveClientKey(const std::string& sKey, const KeyStoreSettings& settings) {
    try {
        const std::string path = PathOrRaise(settings);
        RequireOwnKeyFile(path, KeyFileUse::kName);
        CreateFolder(settings.folder);
        const platform::FileSystemObject fso;
        // The new file stays under a temporary name until Close(): a failure
        // anywhere before leaves the old key file as it was.
        platform::TextStream stream = fso.CreateTextFile(path, true);
        stream.WriteLine(EncodeText(sKey, ScramblingKey()));
        for (std::uint32_t round = 0; round < settings.pause_rounds; ++round) {
            if (settings.yield) {
                settings.yield();
            }
        }
        stream.Close();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

std::string LoadClientKey(const KeyStoreSettings& settings) {
    try {
        const std::string path = PathOrRaise(settings);
        RequireOwnKeyFile(path, KeyFileUse::kContent);
        const platform::FileSystemObject fso;
        platform::TextStream stream =
            fso.GetFile(path).OpenAsTextStream(platform::IOMode::kForReading, platform::Tristate::kFalse);
        const std::string content = stream.Read(kLongestKeyFile);
        stream.Close();
        // A file too long for the cipher raises here and gives no key.
        return DecodeText(WithoutFinalLineEnding(content), ScramblingKey());
    } catch (const RuntimeError&) {
        return {};
    }
}

void DeleteClientKey(const KeyStoreSettings& settings) {
    try {
        const std::string path = PathOrRaise(settings);
        RequireOwnKeyFile(path, KeyFileUse::kName);
        const platform::FileSystemObject fso;
        fso.GetFile(path).Delete(false);
    } catch (const RuntimeError&) {
        // Nothing to forget, a key file the user made read-only, or another
        // user's: it stays.
    }
}

}  // namespace m_Decoder
