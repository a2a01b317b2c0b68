#include "platform/crypt/crypto_provider.h"

#include "platform/crypt/crypto_test_hooks.h"
#include "platform/crypt/key_container.h"
#include "platform/crypt/openssl_context.h"
#include "platform/crypt/provider_objects.h"

#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <strings.h>
#include <variant>
#include <vector>

namespace platform::crypt {
namespace {

using detail::ProviderFailure;
using detail::Rc4Key;
using detail::Sha1Hash;

constexpr std::uint32_t kKeyLengthShift = 16;
constexpr std::uint32_t kDefaultRc4Bits = 40;

// The provider's last-error value, kept per thread as the system keeps it.
thread_local std::int32_t last_error = 0;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

struct Context {
    std::string container;
};
struct Hash {
    explicit Hash(ProviderHandle owner) : provider(owner) {}
    ProviderHandle provider = 0;
    Sha1Hash sha1;
};
struct Key {
    Key(ProviderHandle owner, const std::array<std::uint8_t, kSha1Length>& hash_value)
        : provider(owner), rc4(hash_value) {}
    ProviderHandle provider = 0;
    Rc4Key rc4;
};

// The provider's handles and the objects they stand for. Objects are shared,
// so a call works on its object outside the table's lock.
class HandleTable {
public:
    using Object = std::variant<std::shared_ptr<Context>, std::shared_ptr<Hash>, std::shared_ptr<Key>>;

    std::uint32_t Add(Object object) {
        const std::lock_guard lock(mutex_);
        do {
            ++last_handle_;
        } while (last_handle_ == 0 || objects_.contains(last_handle_));
        objects_.emplace(last_handle_, std::move(object));
        return last_handle_;
    }

    // The object behind a handle of kind T, or a failure with `code`.
    template <typename T>
    std::shared_ptr<T> Find(std::uint32_t handle, std::int32_t code) {
        const std::lock_guard lock(mutex_);
        const auto found = objects_.find(handle);
        if (found == objects_.end() || !std::holds_alternative<std::shared_ptr<T>>(found->second)) {
            throw ProviderFailure{code};
        }
        return std::get<std::shared_ptr<T>>(found->second);
    }

    template <typename T>
    void Remove(std::uint32_t handle, std::int32_t code) {
        std::shared_ptr<T> removed;  // freed after the lock is let go
        const std::lock_guard lock(mutex_);
        const auto found = objects_.find(handle);
        if (found == objects_.end() || !std::holds_alternative<std::shared_ptr<T>>(found->second)) {
            throw ProviderFailure{code};
        }
        removed = std::get<std::shared_ptr<T>>(std::move(found->second));
        objects_.erase(found);
    }

    // Releasing a context also destroys the hashes and keys made under it,
    // so none outlives it.
    void RemoveContext(ProviderHandle provider) {
        std::vector<Object> removed;
        const std::lock_guard lock(mutex_);
        const auto found = objects_.find(provider);
        if (found == objects_.end() || !std::holds_alternative<std::shared_ptr<Context>>(found->second)) {
            throw ProviderFailure{kNteBadUid};
        }
        for (auto it = objects_.begin(); it != objects_.end();) {
            if (it == found || OwnedBy(it->second, provider)) {
                removed.push_back(std::move(it->second));
                it = objects_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::size_t Size() {
        const std::lock_guard lock(mutex_);
        return objects_.size();
    }

private:
    static bool OwnedBy(const Object& object, ProviderHandle provider) {
        if (const auto* hash = std::get_if<std::shared_ptr<Hash>>(&object)) {
            return (*hash)->provider == provider;
        }
        if (const auto* key = std::get_if<std::shared_ptr<Key>>(&object)) {
            return (*key)->provider == provider;
        }
        return false;
    }

    std::mutex mutex_;
    std::uint32_t last_handle_ = 0;
    std::map<std::uint32_t, Object> objects_;
};

HandleTable& Table() {
    // OpenSSL's objects in the table must go before the library context that
    // made them: building the context first makes the table's exit-time
    // destructor run before the context's.
    (void)openssl::LoadAlgorithms();
    static HandleTable table;
    return table;
}

// Runs one call's body: a failure becomes false and this thread's last error.
template <typename Body>
bool RunCall(CryptCall call, Body&& body) noexcept {
    try {
        if (const auto injected = detail::InjectedFailure(call)) {
            last_error = *injected;
            return false;
        }
        body();
        return true;
    } catch (const ProviderFailure& failure) {
        last_error = failure.code;
    } catch (const std::bad_alloc&) {
        last_error = kNteNoMemory;
    } catch (...) {
        last_error = kNteFail;
    }
    return false;
}

void Require(bool condition, std::int32_t code) {
    if (!condition) {
        throw ProviderFailure{code};
    }
}

// Hands a parameter's bytes out: a null buffer asks for the length only, a
// short one fails with kErrorMoreData; the length then holds what is needed.
void CopyOut(std::span<const std::uint8_t> value, std::uint8_t* data, std::uint32_t* data_length) {
    Require(data_length != nullptr, kErrorInvalidParameter);
    const std::uint32_t given = *data_length;
    *data_length = static_cast<std::uint32_t>(value.size());
    if (data == nullptr) {
        return;
    }
    Require(given >= value.size(), kErrorMoreData);
    std::copy(value.begin(), value.end(), data);
}

bool IsBaseProvider(const char* provider_name) {
    return provider_name == nullptr || ::strcasecmp(provider_name, kBaseProviderName) == 0;
}

void Crypt(KeyHandle key, HashHandle hash, bool final, std::uint32_t flags, std::uint8_t* data,
           std::uint32_t* data_length, std::uint32_t buffer_length) {
    Require(hash == 0, kNteBadHash);
    Require(flags == 0, kNteBadFlags);
    Require(data_length != nullptr, kErrorInvalidParameter);
    const std::shared_ptr<Key> found = Table().Find<Key>(key, kNteBadKey);
    if (data == nullptr) {
        return;  // RC4 needs no more room than the data: the length stays
    }
    Require(buffer_length >= *data_length, kErrorMoreData);
    found->rc4.Crypt(std::span(data, *data_length), final);
}

}  // namespace

bool CryptAcquireContextA(ProviderHandle* provider, const char* container, const char* provider_name,
                          std::uint32_t type, std::uint32_t flags) {
    return RunCall(CryptCall::kAcquireContext, [&] {
        Require(provider != nullptr, kErrorInvalidParameter);
        Require(IsBaseProvider(provider_name), kNteKeysetNotDef);
        Require(type == kProvRsaFull, kNteProvTypeNotDef);
        Require(flags == 0 || flags == kCryptNewKeyset, kNteBadFlags);
        Require(container != nullptr, kNteBadKeysetParam);
        Require(openssl::LoadAlgorithms() != nullptr, kNteFail);
        if (flags == kCryptNewKeyset) {
            CreateKeyContainer(container);
        } else {
            OpenKeyContainer(container);
        }
        *provider = Table().Add(std::make_shared<Context>(Context{container}));
    });
}

bool CryptReleaseContext(ProviderHandle provider, std::uint32_t flags) {
    return RunCall(CryptCall::kReleaseContext, [&] {
        Require(flags == 0, kNteBadFlags);
        Table().RemoveContext(provider);
    });
}

bool CryptCreateHash(ProviderHandle provider, AlgId algorithm, KeyHandle key, std::uint32_t flags, HashHandle* hash) {
    return RunCall(CryptCall::kCreateHash, [&] {
        Require(hash != nullptr, kErrorInvalidParameter);
        (void)Table().Find<Context>(provider, kNteBadUid);
        Require(algorithm == kCalgSha1, kNteBadAlgid);
        Require(key == 0, kNteBadKey);
        Require(flags == 0, kNteBadFlags);
        *hash = Table().Add(std::make_shared<Hash>(provider));
    });
}

bool CryptHashData(HashHandle hash, const std::uint8_t* data, std::uint32_t data_length, std::uint32_t flags) {
    return RunCall(CryptCall::kHashData, [&] {
        Require(flags == 0, kNteBadFlags);
        Require(data != nullptr || data_length == 0, kErrorInvalidParameter);
        Table().Find<Hash>(hash, kNteBadHash)->sha1.Update(std::span(data, data_length));
    });
}

bool CryptGetHashParam(HashHandle hash, std::uint32_t parameter, std::uint8_t* data, std::uint32_t* data_length,
                       std::uint32_t flags) {
    return RunCall(CryptCall::kGetHashParam, [&] {
        Require(flags == 0, kNteBadFlags);
        const std::shared_ptr<Hash> found = Table().Find<Hash>(hash, kNteBadHash);
        Require(parameter == kHpHashVal, kNteBadType);
        CopyOut(found->sha1.Value(), data, data_length);
    });
}

bool CryptDestroyHash(HashHandle hash) {
    return RunCall(CryptCall::kDestroyHash, [&] { Table().Remove<Hash>(hash, kNteBadHash); });
}

bool CryptDeriveKey(ProviderHandle provider, AlgId algorithm, HashHandle base_data, std::uint32_t flags,
                    KeyHandle* key) {
    return RunCall(CryptCall::kDeriveKey, [&] {
        Require(key != nullptr, kErrorInvalidParameter);
        (void)Table().Find<Context>(provider, kNteBadUid);
        const std::shared_ptr<Hash> hash = Table().Find<Hash>(base_data, kNteBadHash);
        Require(hash->provider == provider, kNteBadHash);
        Require(algorithm == kCalgRc4, kNteBadAlgid);
        const std::uint32_t bits = flags >> kKeyLengthShift;
        Require((flags & ~kCryptExportable & 0xFFFF) == 0, kNteBadFlags);
        Require(bits == 0 || bits == kDefaultRc4Bits, kNteBadFlags);
        *key = Table().Add(std::make_shared<Key>(provider, hash->sha1.Value()));
    });
}

bool CryptGetKeyParam(KeyHandle key, std::uint32_t parameter, std::uint8_t* data, std::uint32_t* data_length,
                      std::uint32_t flags) {
    return RunCall(CryptCall::kGetKeyParam, [&] {
        Require(flags == 0, kNteBadFlags);
        const std::shared_ptr<Key> found = Table().Find<Key>(key, kNteBadKey);
        Require(parameter == kKpSalt, kNteBadType);
        CopyOut(found->rc4.Salt(), data, data_length);
    });
}

bool CryptSetKeyParam(KeyHandle key, std::uint32_t parameter, const std::uint8_t* data, std::uint32_t data_length,
                      std::uint32_t flags) {
    return RunCall(CryptCall::kSetKeyParam, [&] {
        Require(flags == 0, kNteBadFlags);
        const std::shared_ptr<Key> found = Table().Find<Key>(key, kNteBadKey);
        Require(parameter == kKpSalt, kNteBadType);
        Require(data != nullptr || data_length == 0, kErrorInvalidParameter);
        found->rc4.SetSalt(std::span(data, data_length));
    });
}

bool CryptDestroyKey(KeyHandle key) {
    return RunCall(CryptCall::kDestroyKey, [&] { Table().Remove<Key>(key, kNteBadKey); });
}

bool CryptGenRandom(ProviderHandle provider, std::uint32_t length, std::uint8_t* buffer) {
    return RunCall(CryptCall::kGenRandom, [&] {
        (void)Table().Find<Context>(provider, kNteBadUid);
        Require(buffer != nullptr || length == 0, kErrorInvalidParameter);
        if (length > 0) {
            Require(RAND_bytes_ex(openssl::LoadAlgorithms()->context, buffer, length, 0) == 1, kNteFail);
        }
    });
}

bool CryptEncrypt(KeyHandle key, HashHandle hash, bool final, std::uint32_t flags, std::uint8_t* data,
                  std::uint32_t* data_length, std::uint32_t buffer_length) {
    return RunCall(CryptCall::kEncrypt, [&] { Crypt(key, hash, final, flags, data, data_length, buffer_length); });
}

bool CryptDecrypt(KeyHandle key, HashHandle hash, bool final, std::uint32_t flags, std::uint8_t* data,
                  std::uint32_t* data_length) {
    return RunCall(CryptCall::kDecrypt, [&] {
        Crypt(key, hash, final, flags, data, data_length, data_length != nullptr ? *data_length : 0);
    });
}

std::size_t OpenHandleCount() {
    return Table().Size();
}

std::int32_t GetLastError() noexcept {
    return last_error;
}

}  // namespace platform::crypt
