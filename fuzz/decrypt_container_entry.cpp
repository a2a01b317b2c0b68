#include "decrypt_container_entry.h"

#include "cipher/encryption_state.h"
#include "cipher/file_container.h"
#include "platform/crypt/crypto_provider.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>
#include <system_error>
#include <vector>

namespace zqfuzz {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "fuzz key";

// One folder for the whole run, with the provider's data folder inside it.
class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "zqfuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder to work in");
        }
        folder_ = pattern;
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    [[nodiscard]] fs::path operator/(const char* name) const { return folder_ / name; }
    [[nodiscard]] const fs::path& Folder() const { return folder_; }

private:
    fs::path folder_;
};

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CheckFailure(const std::string& result, const std::string& container, const Workspace& workspace) {
    const bool no_ciphertext =
        container.size() < 2 || static_cast<unsigned char>(container.back()) >= container.size() - 1;
    if (!no_ciphertext) {
        return "a well-formed container failed: " + result;
    }
    const char* expected = container.empty() ? "62  Input past end of file" : "9  Subscript out of range";
    if (result != expected) {
        return "unexpected error text: " + result;
    }
    if (fs::exists(fs::symlink_status(workspace / "out"))) {
        return "a failure left a destination file";
    }
    return "";
}

std::string CheckSuccess(const std::string& container, const Workspace& workspace) {
    const std::size_t s = static_cast<unsigned char>(container.back());
    const std::size_t n = container.size() - 1 - s;
    if (m_Encryption::sSalt != container.substr(n, s)) {
        return "sSalt is not the salt of the file";
    }
    const std::string plain = Read(workspace / "out");
    if (plain.size() != n) {
        return "the plain file is not as long as the ciphertext";
    }
    std::vector<std::uint8_t> bytes(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(n));
    m_Encryption::DecryptBytes(bytes, kKey);
    if (plain != std::string(bytes.begin(), bytes.end())) {
        return "the file and the in-memory session disagree";
    }
    return "";
}

}  // namespace

std::string DecryptContainer(const std::uint8_t* data, std::size_t size) {
    static const Workspace workspace;
    const std::string container(reinterpret_cast<const char*>(data), size);
    Write(workspace / "in", container);
    // A decrypted file never replaces one: each run starts with the name free.
    std::error_code ignored;
    fs::remove(workspace / "out", ignored);

    const std::string result =
        m_Encryption::DecryptFileWithSalt((workspace / "in").string(), (workspace / "out").string(), kKey);
    std::string broken =
        result.empty() ? CheckSuccess(container, workspace) : CheckFailure(result, container, workspace);

    // "in", "out", and the provider's "data" once a session has run.
    std::size_t others = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(workspace.Folder())) {
        const fs::path name = entry.path().filename();
        others += name != "in" && name != "out" && name != "data" ? 1 : 0;
    }
    if (broken.empty() && others != 0) {
        broken = "a temporary file was left behind";
    }
    if (broken.empty() && platform::crypt::OpenHandleCount() != 0) {
        broken = "a provider handle was left open";
    }
    m_Encryption::sSalt.clear();
    return broken;
}

}  // namespace zqfuzz
