#include "platform/runtime_error.h"

#include <cerrno>
#include <utility>

namespace platform {

RuntimeError::RuntimeError(std::int32_t number) : RuntimeError(number, StandardDescription(number)) {}

RuntimeError::RuntimeError(std::int32_t number, std::string description)
    : number_(number), description_(std::move(description)) {}

std::string StandardDescription(std::int32_t number) {
    switch (number) {
        case err::kInvalidProcedureCall:
            return "Invalid procedure call or argument";
        case err::kOverflow:
            return "Overflow";
        case err::kOutOfMemory:
            return "Out of memory";
        case err::kSubscriptOutOfRange:
            return "Subscript out of range";
        case err::kUserInterrupt:
            return "User interrupt occurred";
        case err::kBadFileName:
            return "Bad file name or number";
        case err::kFileNotFound:
            return "File not found";
        case err::kBrokenPipe:
            return "Broken pipe";
        case err::kDeviceIoError:
            return "Device I/O error";
        case err::kFileAlreadyExists:
            return "File already exists";
        case err::kFileTooLarge:
            return "File too large for the destination's file system";
        case err::kDiskFull:
            return "Disk full";
        case err::kInputPastEndOfFile:
            return "Input past end of file";
        case err::kPermissionDenied:
            return "Permission denied";
        case err::kNotSupported:
            return "Operation not supported";
        case err::kPathFileAccessError:
            return "Path/File access error";
        case err::kPathNotFound:
            return "Path not found";
        default:
            return "Application-defined or object-defined error";
    }
}

std::string ErrorText(const RuntimeError& error) {
    return std::to_string(error.Number()) + "  " + error.Description();
}

RuntimeError ErrorFromErrno(int errno_value) {
    switch (errno_value) {
        case ENOENT:
            return RuntimeError(err::kFileNotFound);
        case ENOTDIR:
            return RuntimeError(err::kPathNotFound);
        case EACCES:
        case EPERM:
            return RuntimeError(err::kPermissionDenied);
        case EISDIR:
        case EROFS:
        case EEXIST:
        case EBUSY:
        case ETXTBSY:
        case EXDEV:
            return RuntimeError(err::kPathFileAccessError);
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL:
            return RuntimeError(err::kBadFileName);
        case ENOSYS:
        case EOPNOTSUPP:
#if ENOTSUP != EOPNOTSUPP
        case ENOTSUP:
#endif
            return RuntimeError(err::kNotSupported);
        case EPIPE:
            return RuntimeError(err::kBrokenPipe);
        case ENOSPC:
        case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return RuntimeError(err::kDiskFull);
        default:
            return RuntimeError(err::kDeviceIoError);
    }
}

RuntimeError ErrorFromSystem(std::error_code code) {
    if (code.category() == std::generic_category() || code.category() == std::system_category()) {
        return ErrorFromErrno(code.value());
    }
    return RuntimeError(err::kDeviceIoError);
}

bool IsUnsupported(int errno_value) noexcept {
    return errno_value == ENOTSUP || errno_value == EOPNOTSUPP || errno_value == ENOSYS;
}

}  // namespace platform
