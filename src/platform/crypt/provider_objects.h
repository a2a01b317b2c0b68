#pragma once

#include "platform/crypt/crypto_provider.h"

#include <openssl/types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

// The objects behind the emulated provider's hash and key handles. Internal
// to the provider: callers go through crypto_provider.h.
namespace platform::crypt::detail {

// Raised inside the provider; the call that was running returns false with
// this code as its last error.
struct ProviderFailure {
    std::int32_t code = kNteFail;
};

// A SHA-1 hash that takes data until its value is first read.
class Sha1Hash {
public:
    Sha1Hash();  // throws ProviderFailure (kNteFail) when OpenSSL cannot start one

    void Update(std::span<const std::uint8_t> data);  // kNteBadHashState once finished
    [[nodiscard]] const std::array<std::uint8_t, kSha1Length>& Value();

private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const noexcept;
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
    std::array<std::uint8_t, kSha1Length> value_{};
    bool finished_ = false;
};

// A 40-bit RC4 key with its 11-byte salt, and the position in its key stream.
class Rc4Key {
public:
    // The first kRc4KeyLength bytes of `hash_value` become the key.
    explicit Rc4Key(const std::array<std::uint8_t, kSha1Length>& hash_value);
    ~Rc4Key();
    Rc4Key(const Rc4Key&) = delete;
    Rc4Key& operator=(const Rc4Key&) = delete;

    [[nodiscard]] const std::array<std::uint8_t, kRc4SaltLength>& Salt() const noexcept { return salt_; }

    // Takes the first kRc4SaltLength bytes, zero for any the salt lacks, and
    // starts the key stream afresh.
    void SetSalt(std::span<const std::uint8_t> salt) noexcept;

    // Runs the key stream over `data` in place; `final` ends the stream, so
    // that the next call starts it afresh.
    void Crypt(std::span<std::uint8_t> data, bool final);

private:
    struct Free {
        void operator()(EVP_CIPHER_CTX* context) const noexcept;
    };
    void Start();

    std::array<std::uint8_t, kRc4KeyLength> key_{};
    std::array<std::uint8_t, kRc4SaltLength> salt_{};
    std::unique_ptr<EVP_CIPHER_CTX, Free> context_;
    bool running_ = false;
};

}  // namespace platform::crypt::detail
