#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The crypto session: a byte string encrypted or decrypted with an RC4 key
// that the provider derives from a SHA-1 hash of the client key, salted with
// the salt in sSalt (see cipher/encryption_state.h).
//
// Errors are raised as platform::RuntimeError, numbered with the provider's
// last-error code and described by a message that begins "DLL error code shown
// above."; the session handles none itself. Whatever ends a session, every
// handle it holds is released.
namespace m_Encryption {

// One complete session: acquires the provider, derives the key, makes a new
// salt when encrypting, sets the salt, runs the cipher and releases
// everything. The result is as long as the data. Not re-entrant.
[[nodiscard]] std::string CryptString(std::string sData, const std::string& sKey, bool bEncrypt);

// The same session held open while the data passes through in pieces, for
// data too large to hold at once. The pieces together give the same bytes
// as CryptString over all the data: one key stream, ended on the last piece.
// One session at a time, as the handles and the salt are module state.
class CryptSession {
public:
    // Acquires the provider, derives the key from sKey, makes a new salt in
    // sSalt when encrypting, and sets sSalt on the key either way.
    CryptSession(const std::string& sKey, bool bEncrypt);
    ~CryptSession() = default;
    CryptSession(const CryptSession&) = delete;
    CryptSession& operator=(const CryptSession&) = delete;

    // Runs the cipher over the next piece of the data, in place; `final` on
    // the last piece. Returns the length that the provider left.
    [[nodiscard]] std::size_t Crypt(std::span<std::uint8_t> piece, bool final);

    // Destroys the session key and releases the provider.
    void End() noexcept;

private:
    // Ends the session however construction or use of it ends.
    struct Ender {
        Ender() = default;
        Ender(const Ender&) = delete;
        Ender& operator=(const Ender&) = delete;
        ~Ender();
    };

    Ender ender_;
    bool bEncrypt_ = false;
};

// The steps of a session, which only sessions call.
void AcquireProvider();
void CreateSessionKey(std::string sKey);
void ReleaseProvider() noexcept;

}  // namespace m_Encryption
