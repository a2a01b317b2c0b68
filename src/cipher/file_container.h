#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The encrypted file container: the file's bytes encrypted as one RC4 stream
// by the crypto session, then the salt of that encryption, then one byte that
// gives the salt's length S. Read from the end: the last byte is S, the S
// bytes before it are the salt, everything before the salt is ciphertext.
// This program writes S = 12: the provider's 11 salt bytes and a code 0.
//
// The file operations return "" on success, else the error text ("number,
// two spaces, description"); they raise nothing. Paths are UTF-8; keys are
// byte strings. They share sSalt and the session's handles, so only one may
// run at a time.
namespace m_Encryption {

// Called now and then during a long file operation; total is the plain/cipher byte count.
// It runs on the calling thread, between chunks. Whatever it throws ends the
// operation as a failure, the old destination kept: a RuntimeError becomes the
// error text, anything else leaves through the call.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The first clear bytes of a decryption, kept in memory while it runs, so
// that what came out can be judged without reading the new file back.
inline constexpr std::size_t kClearHeadSize = std::size_t{64} * 1024;
using ClearHead = std::vector<std::uint8_t>;

// Writes the container of sSource to sDest. The destination gets its name
// only when the whole container is on the disk; on failure an existing one
// stays as it was. Only a regular file of the caller's own that its owner may
// write is replaced (it keeps its mode and access ACL; root may replace any
// file, which keeps its owner too): anything else gives 75, a read-only file
// or another user's 70. A new file gets the mode cp would give a copy of
// sSource: its permission bits, narrowed by the umask or the folder's default
// ACL. A source that changes while it is read gives 75, a file too large for
// the destination's file system 60. Afterwards sSalt holds the new salt.
[[nodiscard]] std::string EncryptFileWithSalt(std::string sSource, std::string sDest, const std::string& sKey,
                                              const Progress& progress = {});

// Writes the plain bytes of the container sSource to sDest, on the same
// terms, except that nothing is ever replaced: a destination name that is
// taken, even one that appears while the job runs, gives 58 "File already
// exists". A wrong key gives no error, only bytes that are not the plain file.
// With `clear_head`, it receives the first kClearHeadSize clear bytes (all of
// them for a shorter file).
[[nodiscard]] std::string DecryptFileWithSalt(std::string sSource, std::string sDest, std::string sKey,
                                              const Progress& progress = {}, ClearHead* clear_head = nullptr);

// The crypto session over bytes held in memory; errors are raised.
void EncryptBytes(std::vector<std::uint8_t>& bytes, const std::string& sKey);
void DecryptBytes(std::vector<std::uint8_t>& bytes, const std::string& sKey);

// Deletes the one file with exactly this name, never a pattern; a failure
// (no such file, a read-only file, a folder) is ignored.
void DeleteFileQuietly(const std::string& sPath);

}  // namespace m_Encryption
