#pragma once
#include <windows.h>

#include <string>

namespace korvane {

// The program's failure code (the classic run-time error number shown as "Err No.") for a Win32 error.
int FailureCodeFor(DWORD error);

// The system's own text for a Win32 error, in the system's language, without the trailing line break.
std::wstring SystemReason(DWORD error);

// Throws korvane::Failure (platform/failure.h) for `error` with its code and the system's reason.
[[noreturn]] void ThrowFailure(DWORD error);
[[noreturn]] inline void ThrowLastError() { ThrowFailure(GetLastError()); }

}  // namespace korvane
