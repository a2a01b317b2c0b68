// The program's own test hook: no call fails. Kept alone in this file, so
// that a test's definition takes its place at link time.
#include "platform/crypt/crypto_test_hooks.h"

namespace platform::crypt::detail {

std::optional<std::int32_t> InjectedFailure(CryptCall /*call*/) {
    return std::nullopt;
}

}  // namespace platform::crypt::detail
