#pragma once

#include "platform/crypt/crypto_provider.h"

#include <utility>

// Owners of the provider's handles: each releases its handle when it goes, so
// no path, error paths included, leaves one behind. A handle of 0 is none.
namespace platform::crypt {

template <typename Handle, bool (*Free)(Handle)>
class UniqueCryptHandle {
public:
    UniqueCryptHandle() = default;
    UniqueCryptHandle(const UniqueCryptHandle&) = delete;
    UniqueCryptHandle& operator=(const UniqueCryptHandle&) = delete;
    ~UniqueCryptHandle() { Reset(); }

    [[nodiscard]] Handle Get() const noexcept { return handle_; }
    [[nodiscard]] bool IsHeld() const noexcept { return handle_ != 0; }

    // Where a provider call puts a new handle; the one held is released first.
    [[nodiscard]] Handle* Receive() noexcept {
        Reset();
        return &handle_;
    }

    // Releases the handle, if one is held, and holds none.
    void Reset() noexcept {
        if (handle_ != 0) {
            // Nothing to do about a handle the provider would not take back.
            (void)Free(std::exchange(handle_, 0));
        }
    }

private:
    Handle handle_ = 0;
};

namespace detail {
inline bool ReleaseContext(ProviderHandle provider) {
    return CryptReleaseContext(provider, 0);
}
}  // namespace detail

using UniqueProvider = UniqueCryptHandle<ProviderHandle, &detail::ReleaseContext>;
using UniqueHash = UniqueCryptHandle<HashHandle, &CryptDestroyHash>;
using UniqueKey = UniqueCryptHandle<KeyHandle, &CryptDestroyKey>;

}  // namespace platform::crypt
