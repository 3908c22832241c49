#include "platform/win32/win32_errors.h"

#include <iterator>

#include "platform/failure.h"

namespace korvane {
namespace {

struct ErrorMapping {
    DWORD win32Error;
    int failureCode;
};

// The one table from Win32 errors to the program's failure codes (the classic run-time error numbers):
//   7 out of memory, 52 bad file name, 53 file not found, 57 device I/O error, 58 file already exists,
//   61 disk full, 67 too many files, 68 device unavailable, 70 permission denied (locked or write-protected),
//   71 disk not ready, 74 rename across drives, 75 path/file access error, 76 path not found.
// Any error not listed is 75, the general path/file access error.
constexpr ErrorMapping kErrorTable[] = {
    {ERROR_NOT_ENOUGH_MEMORY, 7},
    {ERROR_OUTOFMEMORY, 7},
    {ERROR_INVALID_NAME, failure_code::kBadFileName},
    {ERROR_BAD_PATHNAME, failure_code::kBadFileName},
    {ERROR_FILENAME_EXCED_RANGE, failure_code::kBadFileName},
    {ERROR_DIRECTORY, failure_code::kBadFileName},
    {ERROR_FILE_NOT_FOUND, 53},
    {ERROR_CRC, 57},
    {ERROR_SEEK, 57},
    {ERROR_SECTOR_NOT_FOUND, 57},
    {ERROR_WRITE_FAULT, 57},
    {ERROR_READ_FAULT, 57},
    {ERROR_GEN_FAILURE, 57},
    {ERROR_IO_DEVICE, 57},
    {ERROR_FILE_EXISTS, 58},
    {ERROR_ALREADY_EXISTS, 58},
    {ERROR_DISK_FULL, 61},
    {ERROR_HANDLE_DISK_FULL, 61},
    {ERROR_TOO_MANY_OPEN_FILES, 67},
    {ERROR_INVALID_DRIVE, 68},
    {ERROR_DEV_NOT_EXIST, 68},
    {ERROR_SHARING_VIOLATION, 70},
    {ERROR_LOCK_VIOLATION, 70},
    {ERROR_WRITE_PROTECT, 70},
    {ERROR_NOT_READY, 71},
    {ERROR_NOT_SAME_DEVICE, 74},
    {ERROR_ACCESS_DENIED, 75},
    {ERROR_PATH_NOT_FOUND, failure_code::kPathNotFound},
    {ERROR_BAD_NETPATH, failure_code::kPathNotFound},
    {ERROR_BAD_NET_NAME, failure_code::kPathNotFound},
};

constexpr int kGeneralAccessError = 75;

}  // namespace

int FailureCodeFor(DWORD error)
{
    for (const ErrorMapping& mapping : kErrorTable) {
        if (mapping.win32Error == error) return mapping.failureCode;
    }
    return kGeneralAccessError;
}

std::wstring SystemReason(DWORD error)
{
    wchar_t buffer[512];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                        0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring reason(buffer, length);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
        reason.pop_back();
    return reason;
}

void ThrowFailure(DWORD error) { throw Failure(FailureCodeFor(error), SystemReason(error)); }

}  // namespace korvane
