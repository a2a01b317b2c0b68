#include "platform/crypt/provider_objects.h"

#include "platform/crypt/openssl_context.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <climits>

namespace platform::crypt::detail {
namespace {

const openssl::Algorithms& Algorithms() {
    const openssl::Algorithms* algorithms = openssl::LoadAlgorithms();
    if (algorithms == nullptr) {
        throw ProviderFailure{kNteFail};
    }
    return *algorithms;
}

}  // namespace

void Sha1Hash::Free::operator()(EVP_MD_CTX* context) const noexcept {
    EVP_MD_CTX_free(context);
}

Sha1Hash::Sha1Hash() : context_(EVP_MD_CTX_new()) {
    if (!context_ || EVP_DigestInit_ex2(context_.get(), Algorithms().sha1, nullptr) != 1) {
        throw ProviderFailure{kNteFail};
    }
}

void Sha1Hash::Update(std::span<const std::uint8_t> data) {
    if (finished_) {
        throw ProviderFailure{kNteBadHashState};
    }
    if (!data.empty() && EVP_DigestUpdate(context_.get(), data.data(), data.size()) != 1) {
        throw ProviderFailure{kNteFail};
    }
}

const std::array<std::uint8_t, kSha1Length>& Sha1Hash::Value() {
    if (!finished_) {
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(context_.get(), value_.data(), &length) != 1 || length != kSha1Length) {
            throw ProviderFailure{kNteFail};
        }
        finished_ = true;
    }
    return value_;
}

void Rc4Key::Free::operator()(EVP_CIPHER_CTX* context) const noexcept {
    EVP_CIPHER_CTX_free(context);
}

Rc4Key::Rc4Key(const std::array<std::uint8_t, kSha1Length>& hash_value) : context_(EVP_CIPHER_CTX_new()) {
    if (!context_) {
        throw ProviderFailure{kNteNoMemory};
    }
    std::copy_n(hash_value.begin(), key_.size(), key_.begin());
}

Rc4Key::~Rc4Key() {
    OPENSSL_cleanse(key_.data(), key_.size());
    OPENSSL_cleanse(salt_.data(), salt_.size());
}

void Rc4Key::SetSalt(std::span<const std::uint8_t> salt) noexcept {
    salt_.fill(0);
    std::copy_n(salt.begin(), std::min(salt.size(), salt_.size()), salt_.begin());
    running_ = false;
}

void Rc4Key::Start() {
    // RC4's key length in OpenSSL is 16 bytes: the key bytes, then the salt.
    std::array<std::uint8_t, kRc4KeyLength + kRc4SaltLength> rc4_key{};
    std::copy(key_.begin(), key_.end(), rc4_key.begin());
    std::copy(salt_.begin(), salt_.end(), rc4_key.begin() + kRc4KeyLength);
    const int started = EVP_CipherInit_ex2(context_.get(), Algorithms().rc4, rc4_key.data(), nullptr, 1, nullptr);
    OPENSSL_cleanse(rc4_key.data(), rc4_key.size());
    if (started != 1 || EVP_CIPHER_CTX_get_key_length(context_.get()) != static_cast<int>(rc4_key.size())) {
        throw ProviderFailure{kNteFail};
    }
    running_ = true;
}

void Rc4Key::Crypt(std::span<std::uint8_t> data, bool final) {
    if (!running_) {
        Start();
    }
    // EVP takes int lengths; a 32-bit length is cut into pieces it accepts.
    constexpr std::size_t kLongestPiece = std::size_t{1} << 30;
    static_assert(kLongestPiece <= INT_MAX);
    while (!data.empty()) {
        const std::size_t piece = std::min(data.size(), kLongestPiece);
        int produced = 0;
        if (EVP_CipherUpdate(context_.get(), data.data(), &produced, data.data(), static_cast<int>(piece)) != 1 ||
            produced != static_cast<int>(piece)) {
            running_ = false;
            throw ProviderFailure{kNteFail};
        }
        data = data.subspan(piece);
    }
    if (final) {
        running_ = false;
    }
}

}  // namespace platform::crypt::detail
