#include "cipher/crypto_session.h"

#include "cipher/encryption_state.h"
#include "platform/crypt/crypto_provider.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace m_Encryption {
namespace {

namespace crypt = platform::crypt;

constexpr const char* kContainerName = "CryptoAPIExample";

// One line: it ends up in a status list, a message box and on a terminal,
// none of which want a CR in the middle of a message.
constexpr const char* kAcquireFailed =
    "DLL error code shown above.  Error during CryptAcquireContext for a new key container. "
    "A container with this name probably already exists.";
constexpr const char* kCreateHashFailed =
    "DLL error code shown above. Could not create a Hash Object (CryptCreateHash API)";
constexpr const char* kHashDataFailed =
    "DLL error code shown above. Could not calculate a Hash Value (CryptHashData API)";
constexpr const char* kGetHashParamFailed = "DLL error code shown above. Could not lngReturnValuerieve the hash value";
constexpr const char* kDeriveKeyFailed =
    "DLL error code shown above. Could not create a session key (CryptDeriveKey API)";
constexpr const char* kGenRandomFailed = "DLL error code shown above. Could not generate a random SALT";
constexpr const char* kSetSaltFailed = "DLL error code shown above. Could not set the SALT.";
constexpr const char* kEncryptFailed = "DLL error code shown above. Error during CryptEncrypt.";
constexpr const char* kDecryptFailed = "DLL error code shown above. Error during CryptDecrypt.";

// The provider takes 32-bit lengths.
constexpr std::size_t kLongestCall = std::numeric_limits<std::uint32_t>::max();

// Raised right after the failed call, while its last-error code is current.
[[noreturn]] void RaiseProviderError(const char* message) {
    throw platform::RuntimeError(crypt::GetLastError(), message);
}

std::uint8_t* Bytes(std::string& text) {
    return reinterpret_cast<std::uint8_t*>(text.data());
}

std::uint32_t CallLength(const std::string& text) {
    if (text.size() > kLongestCall) {
        throw platform::RuntimeError(platform::err::kOverflow);
    }
    return static_cast<std::uint32_t>(text.size());
}

// Only when encrypting: a new salt of the length the provider reports for the
// session key, followed by one code 0 that travels with it.
void MakeNewSalt() {
    std::uint32_t lngSaltLength = 0;
    std::uint8_t probe = 0;
    // Only the length it reports is wanted; the result is not examined.
    (void)crypt::CryptGetKeyParam(hSessionKey.Get(), crypt::kKpSalt, &probe, &lngSaltLength, 0);
    sSalt.assign(std::size_t{lngSaltLength} + 1, '\0');
    if (!crypt::CryptGenRandom(hProvider.Get(), lngSaltLength, Bytes(sSalt))) {
        RaiseProviderError(kGenRandomFailed);
    }
}

// In both directions: sSalt becomes the key's salt. When decrypting, it is
// the salt that the caller read from the file.
void SetSalt() {
    if (!crypt::CryptSetKeyParam(hSessionKey.Get(), crypt::kKpSalt, Bytes(sSalt), CallLength(sSalt), 0)) {
        RaiseProviderError(kSetSaltFailed);
    }
}

// The session's last step: the key destroyed, then the provider released.
void DestroyKeyAndRelease() noexcept {
    hSessionKey.Reset();
    ReleaseProvider();
}

}  // namespace

std::string CryptString(std::string sData, const std::string& sKey, bool bEncrypt) {
    CryptSession session(sKey, bEncrypt);  // provider, session key, salt
    const std::size_t n = session.Crypt(std::span(Bytes(sData), sData.size()), true);
    sData.resize(n);  // the length the provider left
    session.End();    // key destroyed, provider released
    return sData;
}

CryptSession::CryptSession(const std::string& sKey, bool bEncrypt) : bEncrypt_(bEncrypt) {
    AcquireProvider();
    CreateSessionKey(sKey);
    if (bEncrypt_) {
        MakeNewSalt();
    }
    SetSalt();
}

std::size_t CryptSession::Crypt(std::span<std::uint8_t> piece, bool final) {
    std::size_t n = 0;
    do {
        const std::span<std::uint8_t> call = piece.first(std::min(piece.size(), kLongestCall));
        piece = piece.subspan(call.size());
        const bool last = final && piece.empty();
        // An empty piece still ends the stream: the provider takes a null buffer as a length query.
        std::uint8_t nothing = 0;
        std::uint8_t* data = call.empty() ? &nothing : call.data();
        auto length = static_cast<std::uint32_t>(call.size());
        if (bEncrypt_) {
            if (!crypt::CryptEncrypt(hSessionKey.Get(), 0, last, 0, data, &length, length)) {
                RaiseProviderError(kEncryptFailed);
            }
        } else {
            if (!crypt::CryptDecrypt(hSessionKey.Get(), 0, last, 0, data, &length)) {
                RaiseProviderError(kDecryptFailed);
            }
        }
        n += length;
    } while (!piece.empty());
    return n;
}

void CryptSession::End() noexcept {
    DestroyKeyAndRelease();
}

CryptSession::Ender::~Ender() {
    DestroyKeyAndRelease();
}

void AcquireProvider() {
    // The first session on a machine creates the key container; every later
    // one finds it there and opens it.
    if (crypt::CryptAcquireContextA(hProvider.Receive(), kContainerName, crypt::kBaseProviderName, crypt::kProvRsaFull,
                                    crypt::kCryptNewKeyset)) {
        return;
    }
    if (crypt::CryptAcquireContextA(hProvider.Receive(), kContainerName, crypt::kBaseProviderName, crypt::kProvRsaFull,
                                    0)) {
        return;
    }
    RaiseProviderError(kAcquireFailed);
}

void CreateSessionKey(std::string sKey) {
    crypt::UniqueHash hHash;
    if (!crypt::CryptCreateHash(hProvider.Get(), crypt::kCalgSha1, 0, 0, hHash.Receive())) {
        RaiseProviderError(kCreateHashFailed);
    }
    if (!crypt::CryptHashData(hHash.Get(), Bytes(sKey), CallLength(sKey), 0)) {
        RaiseProviderError(kHashDataFailed);
    }
    // The hash value is read back, in a call that reports its length and one
    // that fills it, though nothing uses it further.
    std::uint32_t lngHashLength = 0;
    std::uint8_t probe = 0;
    (void)crypt::CryptGetHashParam(hHash.Get(), crypt::kHpHashVal, &probe, &lngHashLength, 0);
    std::vector<std::uint8_t> hash_value(std::size_t{lngHashLength} + 1, 0);
    if (!crypt::CryptGetHashParam(hHash.Get(), crypt::kHpHashVal, hash_value.data(), &lngHashLength, 0)) {
        RaiseProviderError(kGetHashParamFailed);
    }
    hSessionKey.Reset();
    if (!crypt::CryptDeriveKey(hProvider.Get(), crypt::kCalgRc4, hHash.Get(), crypt::kCryptExportable,
                               hSessionKey.Receive())) {
        RaiseProviderError(kDeriveKeyFailed);
    }
    hHash.Reset();
}

void ReleaseProvider() noexcept {
    hSessionKey.Reset();
    hProvider.Reset();
}

}  // namespace m_Encryption
