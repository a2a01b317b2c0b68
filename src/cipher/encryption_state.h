#pragma once

#include "platform/crypt/crypto_handles.h"

#include <string>

// The module state of m_Encryption, shared by the crypto session and the
// encrypted file container. Being module state, it allows one session, and so
// one file operation, at a time.
namespace m_Encryption {

// NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables): the module state named above.

// The acquired provider context; none between sessions.
extern platform::crypt::UniqueProvider hProvider;

// The derived session key; none between sessions.
extern platform::crypt::UniqueKey hSessionKey;

// The salt. An encrypting session replaces it with a fresh random salt and a
// trailing code 0; a decrypting session uses the value that its caller stored.
extern std::string sSalt;

// NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace m_Encryption
