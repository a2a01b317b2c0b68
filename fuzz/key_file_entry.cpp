#include "key_file_entry.h"

#include "cipher/text_cipher.h"
#include "jobs/key_store.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <system_error>

namespace zqfuzz {
namespace {

namespace fs = std::filesystem;

// A folder for the whole run, with one folder for the file under test and
// one for the key saved again.
class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "zqfuzz-key-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder to work in");
        }
        folder_ = pattern;
        fs::create_directory(Loaded());
        fs::create_directory(Saved());
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    [[nodiscard]] fs::path Loaded() const { return folder_ / "loaded"; }
    [[nodiscard]] fs::path Saved() const { return folder_ / "saved"; }

private:
    fs::path folder_;
};

m_Decoder::KeyStoreSettings In(const fs::path& folder) {
    m_Decoder::KeyStoreSettings settings;
    settings.folder = folder.string();
    return settings;
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The file's one line: all of it less a final CR LF or lone LF.
std::string Line(const std::string& content) {
    if (content.ends_with("\r\n")) {
        return content.substr(0, content.size() - 2);
    }
    if (content.ends_with('\n')) {
        return content.substr(0, content.size() - 1);
    }
    return content;
}

std::string CheckSavedAgain(const std::string& key, const Workspace& workspace) {
    if (!m_Decoder::SaveClientKey(key, In(workspace.Saved()))) {
        return "the loaded key could not be saved again";
    }
    struct stat info {};
    if (::stat((workspace.Saved() / m_Decoder::kKeyFileName).c_str(), &info) != 0) {
        return "the loaded key could not be saved again";
    }
    if ((info.st_mode & 07777) != 0600) {
        return "the saved key file is not owner-only";
    }
    if (m_Decoder::LoadClientKey(In(workspace.Saved())) != key) {
        return "the key saved again loads as another key";
    }
    if (EntriesIn(workspace.Saved()) != 1) {
        return "saving left a temporary file";
    }
    return "";
}

}  // namespace

std::string LoadKeyFile(const std::uint8_t* data, std::size_t size) {
    static const Workspace workspace;
    const std::string content(reinterpret_cast<const char*>(data), size);
    const fs::path file = workspace.Loaded() / m_Decoder::kKeyFileName;
    Write(file, content);

    const std::string key = m_Decoder::LoadClientKey(In(workspace.Loaded()));

    if (Read(file) != content || EntriesIn(workspace.Loaded()) != 1) {
        return "loading changed the key file or its folder";
    }
    const std::string line = Line(content);
    if (line.size() > m_Decoder::kLongestText) {
        return key.empty() ? "" : "a line too long for the cipher gave a key";
    }
    if (key.size() != line.size()) {
        return "the key is not as long as the file's line";
    }
    if (key.find('\0') != std::string::npos) {
        // The scrambling key has no code 0, so decoding never gives one.
        return "the loaded key holds a code 0";
    }
    return key.empty() ? "" : CheckSavedAgain(key, workspace);
}

}  // namespace zqfuzz
