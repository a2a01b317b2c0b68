#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <system_error>

namespace platform {

// The runtime's standard error numbers. Every error the program raises carries
// one of these, or a provider's last-error code, as its number.
namespace err {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
// The user asked a running job to stop.
inline constexpr std::int32_t kUserInterrupt = 18;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
// Not among the runtime's numbers: the reader at the other end of a pipe went away.
inline constexpr std::int32_t kBrokenPipe = 56;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kFileAlreadyExists = 58;
// Not among the runtime's numbers: a file the destination's file system cannot hold.
inline constexpr std::int32_t kFileTooLarge = 60;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kInputPastEndOfFile = 62;
inline constexpr std::int32_t kPermissionDenied = 70;
// Not among the runtime's numbers: what the file system cannot do at all.
inline constexpr std::int32_t kNotSupported = 73;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
}  // namespace err

// The one error type of the program: a number and a description, as the
// runtime raised them. Parts that return error texts catch it at their edge.
class RuntimeError : public std::exception {
public:
    // An error with one of the runtime's standard numbers and its standard text.
    explicit RuntimeError(std::int32_t number);
    RuntimeError(std::int32_t number, std::string description);

    [[nodiscard]] std::int32_t Number() const noexcept { return number_; }
    [[nodiscard]] const std::string& Description() const noexcept { return description_; }
    [[nodiscard]] const char* what() const noexcept override { return description_.c_str(); }

private:
    std::int32_t number_ = 0;
    std::string description_;
};

// The runtime's text for a standard error number ("File not found" for 53).
[[nodiscard]] std::string StandardDescription(std::int32_t number);

// The error text that file operations return: the number in decimal, two
// spaces, the description ("53  File not found").
[[nodiscard]] std::string ErrorText(const RuntimeError& error);

// The closest standard error for a failure the system reported. This is the
// one place where system error codes become the runtime's numbers.
[[nodiscard]] RuntimeError ErrorFromSystem(std::error_code code);
[[nodiscard]] RuntimeError ErrorFromErrno(int errno_value);

// Whether `errno_value` says the file system cannot do the thing at all, which
// ErrorFromErrno reports as err::kNotSupported.
[[nodiscard]] bool IsUnsupported(int errno_value) noexcept;

}  // namespace platform
