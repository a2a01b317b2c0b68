#pragma once

#include <filesystem>
#include <string>

// The emulated provider's key containers. A container is a small per-user
// record that carries no keys: the program uses it only as a context. The
// records live in $XDG_DATA_HOME/zqdecoder, else ~/.local/share/zqdecoder;
// the folder is created owner-only the first time a container is made. When
// the record cannot be written there (no home folder, a folder that cannot
// be made or written), the container is kept in memory for the life of the
// process instead: it carries nothing a later session needs.
//
// Failures are raised as detail::ProviderFailure with the provider's code.
namespace platform::crypt {

// The folder that holds the records. kNteFail when there is no home folder.
[[nodiscard]] std::filesystem::path KeyContainerFolder();

// Makes the record of a new container, and the folder when it is missing.
// kNteExists when the container exists; kNteBadKeysetParam for a name that
// cannot be one.
void CreateKeyContainer(const std::string& name);

// kNteBadKeyset when the container does not exist.
void OpenKeyContainer(const std::string& name);

}  // namespace platform::crypt
