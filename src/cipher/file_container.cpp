#include "cipher/file_container.h"

#include "cipher/chunk_pump.h"
#include "cipher/crypto_session.h"
#include "cipher/encryption_state.h"
#include "platform/atomic_file.h"
#include "platform/byte_file.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/runtime_error.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace m_Encryption {
namespace {

using platform::AtomicFileWriter;
using platform::ByteFileReader;
using platform::PathFromUtf8;
using platform::RuntimeError;
namespace err = platform::err;

// The salt's length travels in one byte.
constexpr std::size_t kLongestSalt = 255;

template <typename Operation>
std::string ErrorTextOf(Operation&& operation) {
    try {
        operation();
        return "";
    } catch (const RuntimeError& error) {
        return platform::ErrorText(error);
    } catch (const std::bad_alloc&) {
        return platform::ErrorText(RuntimeError(err::kOutOfMemory));
    } catch (const std::system_error& error) {
        return platform::ErrorText(platform::ErrorFromSystem(error.code()));
    }
}

// The session's cipher over the first `total` bytes of the source, one key
// stream ended on the last chunk, into the destination.
void CryptInChunks(const ByteFileReader& source, std::uint64_t total, CryptSession& session, AtomicFileWriter& dest,
                   const Progress& progress, ClearHead* clear_head = nullptr) {
    std::uint64_t done = 0;
    if (clear_head != nullptr) {
        clear_head->clear();
    }
    cipher::PumpChunks(
        source, total,
        [&](std::span<std::uint8_t> chunk, bool last) {
            const std::size_t n = session.Crypt(chunk, last);
            // One copy from the first chunk or two; the rest pass untouched.
            if (clear_head != nullptr && clear_head->size() < kClearHeadSize) {
                const std::size_t take = std::min(n, kClearHeadSize - clear_head->size());
                clear_head->insert(clear_head->end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
            }
            done += chunk.size();
            if (progress) {
                progress(done, total);
            }
            return n;
        },
        dest);
}

void ReplaceWithCryptString(std::vector<std::uint8_t>& bytes, const std::string& sKey, bool bEncrypt) {
    std::string data(bytes.begin(), bytes.end());
    data = CryptString(std::move(data), sKey, bEncrypt);
    bytes.assign(data.begin(), data.end());
}

}  // namespace

std::string EncryptFileWithSalt(std::string sSource, std::string sDest, const std::string& sKey,
                                const Progress& progress) {
    sSalt.clear();
    return ErrorTextOf([&] {
        const ByteFileReader source(PathFromUtf8(sSource));
        const std::uint64_t n = source.Length();
        if (n == 0) {
            throw RuntimeError(err::kInputPastEndOfFile);
        }
        CryptSession session(sKey, true);  // sSalt now holds the new salt
        if (sSalt.size() > kLongestSalt) {
            throw RuntimeError(err::kOverflow);
        }
        AtomicFileWriter dest(PathFromUtf8(sDest), AtomicFileWriter::Permissions::kLikeNewFile,
                              AtomicFileWriter::Existing::kReplaceWritableFile, n + sSalt.size() + 1, source.Mode());
        CryptInChunks(source, n, session, dest, progress);
        session.End();
        dest.Write(sSalt);
        dest.Write(std::string(1, static_cast<char>(sSalt.size())));
        source.CheckUnchanged();
        dest.Commit();
    });
}

std::string DecryptFileWithSalt(std::string sSource, std::string sDest, std::string sKey, const Progress& progress,
                                ClearHead* clear_head) {
    sSalt.clear();
    return ErrorTextOf([&] {
        const ByteFileReader source(PathFromUtf8(sSource));
        if (source.Length() == 0) {
            throw RuntimeError(err::kInputPastEndOfFile);
        }
        // The trailer first: the length byte, then the salt before it.
        const std::uint64_t u = source.Length() - 1;
        std::uint8_t s = 0;
        source.ReadAt(u, std::span(&s, 1));
        if (s > u) {
            throw RuntimeError(err::kSubscriptOutOfRange);
        }
        std::string salt(s, '\0');
        source.ReadAt(u - s, std::span(reinterpret_cast<std::uint8_t*>(salt.data()), salt.size()));
        sSalt = std::move(salt);
        const std::uint64_t n = u - s;
        if (n == 0) {
            throw RuntimeError(err::kSubscriptOutOfRange);
        }
        CryptSession session(sKey, false);  // sets sSalt on the key
        // What the user already has at the destination is never replaced.
        AtomicFileWriter dest(PathFromUtf8(sDest), AtomicFileWriter::Permissions::kLikeNewFile,
                              AtomicFileWriter::Existing::kKeep, n, source.Mode());
        CryptInChunks(source, n, session, dest, progress, clear_head);
        session.End();
        source.CheckUnchanged();
        dest.Commit();
    });
}

void EncryptBytes(std::vector<std::uint8_t>& bytes, const std::string& sKey) {
    ReplaceWithCryptString(bytes, sKey, true);
}

void DecryptBytes(std::vector<std::uint8_t>& bytes, const std::string& sKey) {
    ReplaceWithCryptString(bytes, sKey, false);
}

void DeleteFileQuietly(const std::string& sPath) {
    try {
        // Deletes the name itself: a link goes, not what it points to. Like
        // the platform, it leaves a read-only file alone.
        platform::File(PathFromUtf8(sPath)).Delete(false);
    } catch (const RuntimeError&) {
        // Nothing is reported.
    }
}

}  // namespace m_Encryption
