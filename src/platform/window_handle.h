#pragma once

namespace korvane {
// A native window handle (HWND on Windows) carried through code that does not include <windows.h>.
using WindowHandle = void*;
}
