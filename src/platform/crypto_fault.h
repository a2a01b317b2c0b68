#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// TEST SEAM. Makes one of the provider's calls fail with a chosen last-error
// code, so that tests can reach every failure path of the code that calls it.
// Nothing outside tests creates a CryptCallFailure.
namespace platform::crypt {

enum class CryptCall {
    kAcquireContext,
    kReleaseContext,
    kCreateHash,
    kHashData,
    kGetHashParam,
    kDestroyHash,
    kDeriveKey,
    kGetKeyParam,
    kSetKeyParam,
    kDestroyKey,
    kGenRandom,
    kEncrypt,
    kDecrypt,
};

// While it lives, every call of `call` after the first `successes_first`
// fails with `code`, on any thread. One failure per call at a time.
class CryptCallFailure {
public:
    CryptCallFailure(CryptCall call, std::int32_t code, int successes_first = 0);
    ~CryptCallFailure();
    CryptCallFailure(const CryptCallFailure&) = delete;
    CryptCallFailure& operator=(const CryptCallFailure&) = delete;

private:
    CryptCall call_;
};

// How many handles (contexts, hashes, keys) the provider holds now, so that
// tests can see that every path gives back what it took.
[[nodiscard]] std::size_t OpenHandleCount();

namespace detail {
// The code a call must fail with now, if a test asked for one.
[[nodiscard]] std::optional<std::int32_t> InjectedFailure(CryptCall call);
}  // namespace detail

}  // namespace platform::crypt
