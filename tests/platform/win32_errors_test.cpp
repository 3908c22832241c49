#include "platform/win32/win32_errors.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "platform/failure.h"

namespace korvane {
namespace {

// The codes the program acts on come from the errors that mean them; everything else is the general path/file
// access error, so that an unknown error is never mistaken for a missing folder or a bad name.
TEST(Win32Errors, TheCodesTheProgramTellsApartComeOnlyFromTheirErrors)
{
    const std::pair<DWORD, int> meaningful[] = {
        {ERROR_INVALID_NAME, failure_code::kBadFileName}, {ERROR_BAD_PATHNAME, failure_code::kBadFileName},
        {ERROR_PATH_NOT_FOUND, failure_code::kPathNotFound}, {ERROR_BAD_NETPATH, failure_code::kPathNotFound},
        {ERROR_NOT_ENOUGH_MEMORY, failure_code::kFileTooLarge}, {0x20001234, 75}, {ERROR_INVALID_FUNCTION, 75},
    };
    for (const auto& [error, code] : meaningful) EXPECT_EQ(FailureCodeFor(error), code) << error;

    // Every system error gives one of the classic run-time error numbers that the copy run shows as "Err No.".
    const std::set<int> classic{7, 52, 53, 57, 58, 61, 67, 68, 70, 71, 74, 75, 76};
    for (DWORD error = 0; error < 16000; ++error) {
        const int code = FailureCodeFor(error);
        ASSERT_TRUE(classic.contains(code)) << error << " gives " << code;
        if (code == failure_code::kPathNotFound) {
            EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME)
                << error << " is not a missing path";
        }
    }
}

// A thrown failure carries its code and the system's own reason, on one line.
TEST(Win32Errors, ThrowFailureCarriesTheCodeAndTheSystemsReason)
{
    for (const DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_DISK_FULL}, DWORD{ERROR_NOT_READY}}) {
        SCOPED_TRACE(error);
        std::optional<Failure> thrown;
        try {
            ThrowFailure(error);
        } catch (const Failure& failure) {
            thrown = failure;
        }
        ASSERT_TRUE(thrown.has_value()) << "nothing was thrown";
        EXPECT_EQ(thrown->code(), FailureCodeFor(error));
        EXPECT_EQ(thrown->reason(), SystemReason(error));
        ASSERT_FALSE(thrown->reason().empty());
        EXPECT_EQ(thrown->reason().find_first_of(L"\r\n"), std::wstring::npos);
        EXPECT_NE(thrown->reason().back(), L' ');
    }
}

}  // namespace
}  // namespace korvane
