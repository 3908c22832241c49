#include "ui/controls/dialog_navigation.h"

#include "ui/controls/window_class.h"

namespace korvane::ui {

void DialogNavigation::SetDefaultButton(HWND button)
{
    SetWindowLongPtrW(button, GWLP_ID, IDOK);
    if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON)
        SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    hasDefaultButton_ = true;
}

void DialogNavigation::SetCancelButton(HWND button) { SetWindowLongPtrW(button, GWLP_ID, IDCANCEL); }

void DialogNavigation::FocusFirst()
{
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) FocusControl(first);
}

void DialogNavigation::FocusControl(HWND control)
{
    SetFocus(control);
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

std::optional<LRESULT> DialogNavigation::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case DM_GETDEFID:
        return hasDefaultButton_ ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
        // IsDialogMessage asks for this on Tab; only dialog boxes answer it by themselves.
        HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                        : GetNextDlgTabItem(window_, GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (next != nullptr) FocusControl(next);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            focusBeforeDeactivation_ = (focus != nullptr && IsChild(window_, focus)) ? focus : nullptr;
        } else if (focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_)) {
            SetFocus(focusBeforeDeactivation_);
            return 0;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool DialogNavigation::Translate(MSG& message)
{
    if (message.hwnd == nullptr) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || !IsProgramWindow(root)) return false;
    return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace korvane::ui
