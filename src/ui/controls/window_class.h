#pragma once
#include <windows.h>

namespace korvane::ui {

// The window class of the program's own top-level windows, registered with `procedure` at the first call (the
// common controls are readied with it).
ATOM ProgramWindowClass(WNDPROC procedure);

// Whether `hwnd` is of that class: a window of this program, not one of the system's boxes.
bool IsProgramWindow(HWND hwnd) noexcept;

}  // namespace korvane::ui
