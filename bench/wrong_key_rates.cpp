// How often the wrong-key check is wrong, both ways, over real files: every
// regular file of at least 4 KiB under the folders (default /usr/share) is judged
// on its first 64 KiB twice, as decrypted with the right key (its own bytes:
// a warning is false) and with a wrong one (the same bytes through RC4 under
// a random key, which is what a wrong key's key stream does to them: no
// warning is a miss).
//
//   zq_bench_wrong_key_rates [FOLDER...]
//
// Symbolic links are not followed; unreadable files and folders are counted
// and passed over. With ZQ_BENCH_LIST_FALSE=1 it names each false warning.

#include "cipher/file_container.h"
#include "jobs/wrong_key_check.h"
#include "platform/crypt/openssl_context.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};

// The bytes as a wrong key gives them back: XORed with an RC4 key stream of
// a fresh random key. Empty when OpenSSL cannot do it.
[[nodiscard]] Bytes ThroughWrongKey(const Bytes& bytes, const EVP_CIPHER* rc4) {
    std::array<unsigned char, 16> key{};
    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    Bytes out(bytes.size());
    int written = 0;
    if (!context || RAND_bytes(key.data(), static_cast<int>(key.size())) != 1 ||
        EVP_DecryptInit_ex2(context.get(), rc4, key.data(), nullptr, nullptr) != 1 ||
        EVP_DecryptUpdate(context.get(), out.data(), &written, bytes.data(), static_cast<int>(bytes.size())) != 1 ||
        static_cast<std::size_t>(written) != bytes.size()) {
        return {};
    }
    return out;
}

// The first bytes of the file, as many as the check sees; nothing when it cannot be read.
[[nodiscard]] std::optional<Bytes> HeadOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    Bytes head(m_Encryption::kClearHeadSize);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    if (in.bad() || in.gcount() <= 0) {
        return std::nullopt;
    }
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

[[nodiscard]] std::string Rate(std::size_t part, std::size_t whole) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%zu of %zu (%.3f %%)", part, whole,
                  whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text.data();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> folders(argv + std::min(argc, 1), argv + argc);
    if (folders.empty()) {
        folders.emplace_back("/usr/share");
    }
    const platform::openssl::Algorithms* algorithms = platform::openssl::LoadAlgorithms();
    if (algorithms == nullptr || algorithms->rc4 == nullptr) {
        std::cerr << "zq_bench_wrong_key_rates: no RC4 from OpenSSL (its legacy provider is missing)\n";
        return 1;
    }
    const bool list_false = std::getenv("ZQ_BENCH_LIST_FALSE") != nullptr;

    m_Decoder::WrongKeyCheck check;
    std::size_t judged = 0;
    std::size_t false_warnings = 0;
    std::size_t misses = 0;
    std::size_t unreadable = 0;
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            const fs::directory_entry& entry = *walk;
            std::error_code ignored;
            if (!entry.is_regular_file(ignored) || entry.is_symlink(ignored) ||
                entry.file_size(ignored) < m_Decoder::kShortestJudged) {
                continue;
            }
            const std::optional<Bytes> head = HeadOf(entry.path());
            if (!head || head->size() < m_Decoder::kShortestJudged) {
                ++unreadable;
                continue;
            }
            const Bytes noise = ThroughWrongKey(*head, algorithms->rc4);
            if (noise.empty()) {
                std::cerr << "zq_bench_wrong_key_rates: RC4 failed\n";
                return 1;
            }
            ++judged;
            if (check.LooksLikeWrongKey(*head)) {
                ++false_warnings;
                if (list_false) {
                    std::cout << "false warning: " << entry.path().string() << '\n';
                }
            }
            if (!check.LooksLikeWrongKey(noise)) {
                ++misses;
            }
        }
        if (error) {
            std::cerr << "zq_bench_wrong_key_rates: " << folder.string() << ": " << error.message() << '\n';
            return 1;
        }
    }
    std::cout << "files of at least " << m_Decoder::kShortestJudged << " bytes: " << judged << " (" << unreadable
              << " unreadable, passed over)\n"
              << "right key, false warnings: " << Rate(false_warnings, judged) << '\n'
              << "wrong key, missed:         " << Rate(misses, judged) << '\n';
    return 0;
}
