#include "ui/controls/window_class.h"

#include <commctrl.h>

namespace korvane::ui {
namespace {

ATOM registeredClass = 0;

}  // namespace

ATOM ProgramWindowClass(WNDPROC procedure)
{
    if (registeredClass != 0) return registeredClass;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"KorvaneWindow";
    registeredClass = RegisterClassExW(&windowClass);
    return registeredClass;
}

bool IsProgramWindow(HWND hwnd) noexcept
{
    return registeredClass != 0 && static_cast<ATOM>(GetClassLongPtrW(hwnd, GCW_ATOM)) == registeredClass;
}

}  // namespace korvane::ui
