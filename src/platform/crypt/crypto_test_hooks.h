#pragma once

#include <cstdint>
#include <optional>

// Where tests may make one of the provider's calls fail with a chosen
// last-error code, to reach every failure path of the code that calls it.
// The program links the default of crypto_test_hooks.cpp, which never fails a
// call; the tests link their own InjectedFailure in its place
// (tests/support/crypto_faults.cpp).
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

namespace detail {
// The code a call must fail with now, if a test asked for one.
[[nodiscard]] std::optional<std::int32_t> InjectedFailure(CryptCall call);
}  // namespace detail

}  // namespace platform::crypt
