#pragma once
// What the start-up references share: show the window, then handle messages until it is closed.
#include <windows.h>

namespace korvane::bench {

inline int ShowAndRunUntilClosed(HWND window, int show)
{
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace korvane::bench
