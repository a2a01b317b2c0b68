#include "cipher/encryption_state.h"

namespace m_Encryption {

// The module's state, shared by the session and the container by design.
// NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
platform::crypt::UniqueProvider hProvider;
platform::crypt::UniqueKey hSessionKey;
std::string sSalt;
// NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace m_Encryption
