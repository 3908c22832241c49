#pragma once
#include <windows.h>

#include <exception>

namespace korvane::ui {

// The last line of defence, for a handler that failed in a way nothing above it expected: the user gets a short
// Japanese message (owned by `window` while it exists); the details go to the debugger's output.
void ReportUnexpectedFailure(HWND window, std::exception_ptr failure) noexcept;

}  // namespace korvane::ui
