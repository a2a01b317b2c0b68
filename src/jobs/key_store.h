#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The remembered key: the client key kept between runs in one small file,
// scrambled with the text cipher under a fixed key. Only a save says whether
// it worked, so that the user can learn that a key is not remembered; a key
// that cannot be read is simply not there, and one that cannot be deleted stays.
//
// The store needs no windows: the program hands it the folder of the key file
// and the pause that lets pending events run while a key is being saved.
namespace m_Decoder {

inline constexpr const char* kKeyFileName = "zqdecode.dat";

struct KeyStoreSettings {
    // UTF-8; the key file is this folder, "/" and kKeyFileName.
    std::string folder;
    // Rounds of the pause after the key is written and before it takes the old file's place.
    std::uint32_t pause_rounds = 0;
    // Runs once in each round of the pause (the program lets pending events run).
    std::function<void()> yield;
};

// The key file's path; empty when the settings name no folder.
[[nodiscard]] std::string KeyFilePath(const KeyStoreSettings& settings);

// Writes the key, encoded, as one line ended by CR LF into a new owner-only
// file that replaces the old one only once it is complete. The key is stored
// as given (the caller trims it); an empty key gives a file of CR LF alone.
// False when the key could not be saved; the old file then stays as it was.
[[nodiscard]] bool SaveClientKey(const std::string& sKey, const KeyStoreSettings& settings);

// The remembered key, or an empty string when there is none that can be read.
// The whole file is one key: an encoded key may itself hold CR and LF, so only
// the one line ending (CR LF, or a lone LF) at the end of the file is dropped.
[[nodiscard]] std::string LoadClientKey(const KeyStoreSettings& settings);

// Forgets the remembered key. A read-only key file stays.
void DeleteClientKey(const KeyStoreSettings& settings);

}  // namespace m_Decoder
