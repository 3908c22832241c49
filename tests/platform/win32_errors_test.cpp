#include "platform/win32/win32_errors.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace korvane {
namespace {

// The classic run-time error numbers that the copy run shows as "Err No.".
TEST(Win32Errors, EachSystemErrorGivesItsClassicNumberAndAReason)
{
    const std::pair<DWORD, int> cases[] = {
        {ERROR_NOT_ENOUGH_MEMORY, 7},    {ERROR_OUTOFMEMORY, 7},       {ERROR_INVALID_NAME, 52},
        {ERROR_BAD_PATHNAME, 52},        {ERROR_FILENAME_EXCED_RANGE, 52}, {ERROR_DIRECTORY, 52},
        {ERROR_FILE_NOT_FOUND, 53},      {ERROR_CRC, 57},              {ERROR_GEN_FAILURE, 57},
        {ERROR_IO_DEVICE, 57},           {ERROR_FILE_EXISTS, 58},      {ERROR_ALREADY_EXISTS, 58},
        {ERROR_DISK_FULL, 61},           {ERROR_HANDLE_DISK_FULL, 61}, {ERROR_TOO_MANY_OPEN_FILES, 67},
        {ERROR_INVALID_DRIVE, 68},       {ERROR_DEV_NOT_EXIST, 68},    {ERROR_SHARING_VIOLATION, 70},
        {ERROR_LOCK_VIOLATION, 70},      {ERROR_WRITE_PROTECT, 70},    {ERROR_NOT_READY, 71},
        {ERROR_NOT_SAME_DEVICE, 74},     {ERROR_ACCESS_DENIED, 75},    {ERROR_PATH_NOT_FOUND, 76},
        {ERROR_BAD_NETPATH, 76},         {ERROR_BAD_NET_NAME, 76},
        // Anything else is the general path/file access error.
        {ERROR_INVALID_FUNCTION, 75},    {ERROR_NOT_SUPPORTED, 75},
    };
    for (const auto& [error, code] : cases) {
        SCOPED_TRACE(error);
        EXPECT_EQ(FailureCodeFor(error), code);
        try {
            ThrowFailure(error);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), code);
            EXPECT_EQ(failure.reason(), SystemReason(error));
        }
        const std::wstring reason = SystemReason(error);
        EXPECT_FALSE(reason.empty());
        EXPECT_NE(reason.back(), L'\n');
    }
}

}  // namespace
}  // namespace korvane
