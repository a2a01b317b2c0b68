#pragma once

#include <cstddef>
#include <cstdint>

// The cryptographic service provider that the crypto session calls: the
// platform's Crypt* functions with their shape kept (handles, true/false
// results, a per-thread last-error code read after a failed call), and behind
// them an emulation of the platform's Base provider, which every existing
// encrypted file depends on:
//
// - hash 0x8004 is SHA-1 over the bytes given;
// - an RC4 key (0x6801) derived from a SHA-1 hash with key-length bits 0 is a
//   40-bit key, the first 5 bytes of the hash value;
// - such a key has an 11-byte salt, zero until set;
// - encryption and decryption run RC4 under a 16-byte key, the 5 key bytes
//   followed by the 11 salt bytes. The key stream continues across calls
//   until a call with the final flag; after that the key starts afresh.
//
// Every call may be used from any thread; one key or hash handle is not meant
// to be used by two threads at once.
namespace platform::crypt {

using ProviderHandle = std::uint32_t;
using HashHandle = std::uint32_t;
using KeyHandle = std::uint32_t;
using AlgId = std::uint32_t;

inline constexpr const char* kBaseProviderName = "Microsoft Base Cryptographic Provider v1.0";
inline constexpr std::uint32_t kProvRsaFull = 1;

inline constexpr std::uint32_t kCryptNewKeyset = 8;  // context flag: create the key container
inline constexpr AlgId kCalgSha1 = 0x8004;
inline constexpr AlgId kCalgRc4 = 0x6801;
inline constexpr std::uint32_t kCryptExportable = 1;  // key flag; the upper 16 bits carry the key length
inline constexpr std::uint32_t kHpHashVal = 2;        // hash parameter: the hash value
inline constexpr std::uint32_t kKpSalt = 2;           // key parameter: the salt

inline constexpr std::uint32_t kSha1Length = 20;
inline constexpr std::uint32_t kRc4KeyLength = 5;
inline constexpr std::uint32_t kRc4SaltLength = 11;

// Last-error codes, as the platform numbers them.
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kNteBadUid = static_cast<std::int32_t>(0x80090001);
inline constexpr std::int32_t kNteBadHash = static_cast<std::int32_t>(0x80090002);
inline constexpr std::int32_t kNteBadKey = static_cast<std::int32_t>(0x80090003);
inline constexpr std::int32_t kNteBadAlgid = static_cast<std::int32_t>(0x80090008);
inline constexpr std::int32_t kNteBadFlags = static_cast<std::int32_t>(0x80090009);
inline constexpr std::int32_t kNteBadType = static_cast<std::int32_t>(0x8009000A);
inline constexpr std::int32_t kNteBadHashState = static_cast<std::int32_t>(0x8009000C);
inline constexpr std::int32_t kNteNoMemory = static_cast<std::int32_t>(0x8009000E);
inline constexpr std::int32_t kNteExists = static_cast<std::int32_t>(0x8009000F);
inline constexpr std::int32_t kNteBadKeyset = static_cast<std::int32_t>(0x80090016);
inline constexpr std::int32_t kNteProvTypeNotDef = static_cast<std::int32_t>(0x80090017);
inline constexpr std::int32_t kNteKeysetNotDef = static_cast<std::int32_t>(0x80090019);
inline constexpr std::int32_t kNteBadKeysetParam = static_cast<std::int32_t>(0x8009001F);
inline constexpr std::int32_t kNteFail = static_cast<std::int32_t>(0x80090020);

// Opens a context on the named key container. With kCryptNewKeyset the
// container is created and must not exist yet (kNteExists); with flags 0 it
// must exist (kNteBadKeyset). A null provider name means the Base provider.
[[nodiscard]] bool CryptAcquireContextA(ProviderHandle* provider, const char* container, const char* provider_name,
                                        std::uint32_t type, std::uint32_t flags);
[[nodiscard]] bool CryptReleaseContext(ProviderHandle provider, std::uint32_t flags);

[[nodiscard]] bool CryptCreateHash(ProviderHandle provider, AlgId algorithm, KeyHandle key, std::uint32_t flags,
                                   HashHandle* hash);
[[nodiscard]] bool CryptHashData(HashHandle hash, const std::uint8_t* data, std::uint32_t data_length,
                                 std::uint32_t flags);
// Reading the hash value finishes the hash: it takes no more data afterwards.
// A buffer shorter than the value fails with kErrorMoreData, the length then
// holding what is needed; a null buffer only asks for the length.
[[nodiscard]] bool CryptGetHashParam(HashHandle hash, std::uint32_t parameter, std::uint8_t* data,
                                     std::uint32_t* data_length, std::uint32_t flags);
[[nodiscard]] bool CryptDestroyHash(HashHandle hash);

[[nodiscard]] bool CryptDeriveKey(ProviderHandle provider, AlgId algorithm, HashHandle base_data, std::uint32_t flags,
                                  KeyHandle* key);
[[nodiscard]] bool CryptGetKeyParam(KeyHandle key, std::uint32_t parameter, std::uint8_t* data,
                                    std::uint32_t* data_length, std::uint32_t flags);
// The platform's call has no length here and reads the salt's 11 bytes from
// whatever it is given, past the end of a shorter buffer. This one takes the
// buffer's length and counts the bytes missing from a short salt as zero.
[[nodiscard]] bool CryptSetKeyParam(KeyHandle key, std::uint32_t parameter, const std::uint8_t* data,
                                    std::uint32_t data_length, std::uint32_t flags);
[[nodiscard]] bool CryptDestroyKey(KeyHandle key);

[[nodiscard]] bool CryptGenRandom(ProviderHandle provider, std::uint32_t length, std::uint8_t* buffer);

// Both run the cipher in place over data_length bytes; RC4 leaves the length
// as it is. `final` ends the key stream.
[[nodiscard]] bool CryptEncrypt(KeyHandle key, HashHandle hash, bool final, std::uint32_t flags, std::uint8_t* data,
                                std::uint32_t* data_length, std::uint32_t buffer_length);
[[nodiscard]] bool CryptDecrypt(KeyHandle key, HashHandle hash, bool final, std::uint32_t flags, std::uint8_t* data,
                                std::uint32_t* data_length);

// The code that the last failed call on this thread left; successful calls
// leave it as it was.
[[nodiscard]] std::int32_t GetLastError() noexcept;

// How many handles (contexts, hashes, keys) the provider holds now, so that
// tests can see that every path gives back what it took.
[[nodiscard]] std::size_t OpenHandleCount();

}  // namespace platform::crypt
