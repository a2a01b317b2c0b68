#pragma once

#include "jobs/key_store.h"

#include <cstdint>

namespace m_Decoder {

// The pause of a save in the program: rounds that each let pending events run.
inline constexpr std::uint32_t kSavePauseRounds = 500000;

// What the program uses: the key folder chosen over the running executable
// and the environment, and a pause that lets the event queue run. Needs the
// application object.
[[nodiscard]] KeyStoreSettings ProgramKeyStoreSettings();

}  // namespace m_Decoder
