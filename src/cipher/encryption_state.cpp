#include "cipher/encryption_state.h"

namespace m_Encryption {

platform::crypt::UniqueProvider hProvider;
platform::crypt::UniqueKey hSessionKey;
std::string sSalt;

}  // namespace m_Encryption
