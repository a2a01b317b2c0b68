#pragma once

#include <openssl/types.h>

// The OpenSSL algorithms behind the emulated provider. They come from a
// library context of our own, with OpenSSL's default provider (SHA-1, random
// bytes) and its legacy provider (RC4) loaded into it, so that the legacy
// algorithms never reach the process-wide context that other code shares.
namespace platform::openssl {

struct Algorithms {
    OSSL_LIB_CTX* context = nullptr;
    EVP_MD* sha1 = nullptr;
    EVP_CIPHER* rc4 = nullptr;
};

// Created on first use (thread-safe) and kept for the life of the program;
// null when OpenSSL cannot supply them (no legacy provider, for example).
[[nodiscard]] const Algorithms* LoadAlgorithms() noexcept;

}  // namespace platform::openssl
