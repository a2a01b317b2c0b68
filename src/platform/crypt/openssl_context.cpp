#include "platform/crypt/openssl_context.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

namespace platform::openssl {
namespace {

// Owns the library context and everything taken from it, and frees them in
// the reverse order. OpenSSL frees its own state in an exit handler
// (OPENSSL_cleanup) that it registers when it is first initialised. The
// constructor initialises OpenSSL before anything else, so that handler is
// registered before this object's destructor is; exit handlers run in reverse
// order, so our context goes while OpenSSL still stands.
class Library {
public:
    Library() {
        if (OPENSSL_init_crypto(0, nullptr) != 1) {
            return;
        }
        algorithms_.context = OSSL_LIB_CTX_new();
        if (algorithms_.context == nullptr) {
            return;
        }
        default_provider_ = OSSL_PROVIDER_load(algorithms_.context, "default");
        legacy_provider_ = OSSL_PROVIDER_load(algorithms_.context, "legacy");
        if (default_provider_ != nullptr && legacy_provider_ != nullptr) {
            algorithms_.sha1 = EVP_MD_fetch(algorithms_.context, "SHA1", nullptr);
            algorithms_.rc4 = EVP_CIPHER_fetch(algorithms_.context, "RC4", nullptr);
        }
        loaded_ = algorithms_.sha1 != nullptr && algorithms_.rc4 != nullptr;
        // A failed load leaves its reasons on this thread's error queue; nobody reads them.
        ERR_clear_error();
    }

    ~Library() {
        EVP_CIPHER_free(algorithms_.rc4);
        EVP_MD_free(algorithms_.sha1);
        if (legacy_provider_ != nullptr) {
            OSSL_PROVIDER_unload(legacy_provider_);
        }
        if (default_provider_ != nullptr) {
            OSSL_PROVIDER_unload(default_provider_);
        }
        OSSL_LIB_CTX_free(algorithms_.context);
    }

    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    [[nodiscard]] const Algorithms* Get() const noexcept { return loaded_ ? &algorithms_ : nullptr; }

private:
    Algorithms algorithms_;
    OSSL_PROVIDER* default_provider_ = nullptr;
    OSSL_PROVIDER* legacy_provider_ = nullptr;
    bool loaded_ = false;
};

}  // namespace

const Algorithms* LoadAlgorithms() noexcept {
    static const Library library;
    return library.Get();
}

}  // namespace platform::openssl
