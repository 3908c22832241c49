#include "ui/controls/window.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "ui/controls/control.h"
#include "ui/controls/message_font.h"
#include "ui/twips.h"

namespace korvane::ui {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

UniqueIcon LoadIconAt(int resourceId, int size)
{
    return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                                     IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

std::wstring Widen(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

// The last line of defence: a handler failed in a way that nothing above it expected.
void ReportUnexpectedFailure(HWND hwnd, std::exception_ptr failure) noexcept
{
    std::wstring text = L"予期しないエラーが発生しました。";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        text += L"\r\n" + Widen(e.what());
    } catch (...) {
    }
    MessageBoxW(IsWindow(hwnd) ? hwnd : nullptr, text.c_str(), L"エラー", MB_OK | MB_ICONERROR);
}

}  // namespace

ATOM Window::WindowClass()
{
    static const ATOM atom = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Window::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = L"KorvaneWindow";
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

Window::Window(const Design& design) : design_(design), backBrush_(CreateSolidBrush(design.backColour))
{
    CreateWindowExW(0, MAKEINTATOM(WindowClass()), design.caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, design.owner, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("CreateWindowExW failed for a window");
    dpi_ = GetDpiForWindow(hwnd_);
}

Window::~Window()
{
    onClosed = nullptr;  // the owner is letting this window go; it needs no word of the closing
    if (hwnd_ != nullptr) Close();
}

void Window::Show()
{
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) FocusControl(first);
}

void Window::Close()
{
    if (hwnd_ == nullptr) return;
    // Enabled before the modal window goes, so that the system activates the owner and not another program.
    ReenableModalOwner();
    DestroyWindow(hwnd_);
}

void Window::ShowModal()
{
    modalOwner_ = GetWindow(hwnd_, GW_OWNER);
    if (modalOwner_ != nullptr && IsWindowEnabled(modalOwner_)) {
        EnableWindow(modalOwner_, FALSE);
    } else {
        modalOwner_ = nullptr;
    }
    Show();
    MSG message;
    while (IsOpen()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns the program
            Close();
            break;
        }
        if (got == -1) {
            Close();
            break;
        }
        if (!TranslateDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Window::ReenableModalOwner() noexcept
{
    if (modalOwner_ == nullptr) return;
    EnableWindow(std::exchange(modalOwner_, nullptr), TRUE);
}

bool Window::TranslateDialogMessage(MSG& message)
{
    if (message.hwnd == nullptr) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || GetClassLongPtrW(root, GCW_ATOM) != WindowClass()) return false;
    return IsDialogMessageW(root, &message) != FALSE;
}

void Window::SetDefaultButton(Control& button)
{
    SetWindowLongPtrW(button.handle(), GWLP_ID, IDOK);
    if ((GetWindowLongW(button.handle(), GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON)
        SendMessageW(button.handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    hasDefaultButton_ = true;
}

void Window::SetCancelButton(Control& button) { SetWindowLongPtrW(button.handle(), GWLP_ID, IDCANCEL); }

void Window::SetIcon(int resourceId)
{
    iconResource_ = resourceId;
    const unsigned dpi = Dpi();
    bigIcon_ = LoadIconAt(resourceId, GetSystemMetricsForDpi(SM_CXICON, dpi));
    smallIcon_ = LoadIconAt(resourceId, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void Window::LayOut() { LayOutAt(dpi_); }

void Window::LayOutAt(unsigned dpi)
{
    dpi_ = dpi;
    SizeClientArea(TwipsToPixels(design_.clientWidth, dpi), TwipsToPixels(design_.clientHeight, dpi), dpi);

    // The old font is deleted only once no control uses it any more.
    UniqueFont font = CreateMessageFont(dpi);
    for (Control* control : controls_) control->OnLayout(dpi, font.get());
    font_ = std::move(font);
    if (iconResource_ != 0) SetIcon(iconResource_);
    OnLayout(dpi);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::SizeClientArea(int width, int height, unsigned dpi)
{
    RECT frame{0, 0, width, height};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame the system actually draws may differ from the computed one (a dpi the system has not applied
    // to the frame yet): what counts is the client area.
    RECT client;
    GetClientRect(hwnd_, &client);
    if (client.right == width && client.bottom == height) return;
    RECT window;
    GetWindowRect(hwnd_, &window);
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + width - client.right,
                 window.bottom - window.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CenterOnScreen()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT bounds;
    GetWindowRect(hwnd_, &bounds);
    const RECT& area = monitor.rcWork;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::Adopt(Control& control) { controls_.push_back(&control); }

void Window::Abandon(Control& control) noexcept { std::erase(controls_, &control); }

Control* Window::FindControl(HWND hwnd) const noexcept
{
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [hwnd](const Control* control) { return control->handle() == hwnd; });
    return found == controls_.end() ? nullptr : *found;
}

void Window::FocusControl(HWND control)
{
    SetFocus(control);
    // As in a dialog: a text box reached from the keyboard has its whole text selected.
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

void Window::OnDestroyed()
{
    for (Control* control : controls_) control->ForgetHandle();
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    modalOwner_ = nullptr;
    if (auto closed = onClosed) closed();
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (Control* control = FindControl(reinterpret_cast<HWND>(lParam));
            control != nullptr && GetDlgCtrlID(control->handle()) == LOWORD(wParam))
            return control->OnCommand(HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (Control* control = FindControl(header.hwndFrom)) return control->OnNotify(header);
        break;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Control* control = FindControl(item.hwndItem)) {
            control->OnDrawItem(item);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (Control* control = FindControl(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->OnControlColour(dc)) return reinterpret_cast<LRESULT>(brush);
        }
        // Captions without a colour of their own stand on the window's colour.
        if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
            SetBkColor(dc, design_.backColour);
            return reinterpret_cast<LRESULT>(backBrush_.get());
        }
        break;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush_.get());
        return 1;
    }
    case DM_GETDEFID:
        return hasDefaultButton_ ? MAKELRESULT(IDOK, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
        // IsDialogMessage asks for this on Tab; only dialog boxes answer it by themselves.
        HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                        : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (next != nullptr) FocusControl(next);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            focusBeforeDeactivation_ = (focus != nullptr && IsChild(hwnd_, focus)) ? focus : nullptr;
        } else if (focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_)) {
            SetFocus(focusBeforeDeactivation_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutAt(LOWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        Close();
        return 0;
    case WM_NCDESTROY:
        OnDestroyed();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return window->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportUnexpectedFailure(hwnd, std::current_exception());
        return 0;
    }
}

}  // namespace korvane::ui
