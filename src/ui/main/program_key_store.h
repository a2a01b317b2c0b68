#pragma once

#include "ui/main/remembered_key_store.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

// The pause of the unload's save to the key file: rounds that each let pending events run.
inline constexpr std::uint32_t kSavePauseRounds = 500000;

// Where a program in `executable_folder` remembers the key. A portable
// install keeps its key file beside itself, since it travels with the
// program; otherwise the keyring of the session keeps the key, where one
// already runs on the session bus; failing that, the key file in
// `config_home` as before.
[[nodiscard]] std::unique_ptr<RememberedKeyStore> KeyStoreFor(const std::string& executable_folder,
                                                              const std::string& config_home);

// The store of the running program, over its own folder and the environment.
// Needs the application object.
[[nodiscard]] std::unique_ptr<RememberedKeyStore> ProgramKeyStore();

}  // namespace ui
