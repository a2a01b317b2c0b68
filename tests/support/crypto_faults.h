#pragma once

#include "platform/crypt/crypto_test_hooks.h"
#include "support/uncopyable.h"

#include <cstdint>

// Provider calls that fail, armed by objects that tests create. This file's
// InjectedFailure replaces the program's never-failing one in every test; the
// programs never link it.
namespace platform::crypt {

// While it lives, every call of `call` after the first `successes_first`
// fails with `code`, on any thread. One failure per call at a time.
class CryptCallFailure : testsupport::Uncopyable {
public:
    CryptCallFailure(CryptCall call, std::int32_t code, int successes_first = 0);
    ~CryptCallFailure();

private:
    CryptCall call_;
};

}  // namespace platform::crypt
