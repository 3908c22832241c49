#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace korvane {

LocalDate Win32Clock::Today() const
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace korvane
