#include "ui/controls/window.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "ui/controls/control.h"
#include "ui/controls/image_list.h"
#include "ui/controls/message_font.h"
#include "ui/controls/message_loop.h"
#include "ui/controls/unexpected_failure.h"
#include "ui/controls/window_class.h"

namespace korvane::ui {

namespace {

struct WindowStyle {
    DWORD style;
    DWORD exStyle;
};

WindowStyle StyleFor(Window::Border border)
{
    switch (border) {
    case Window::Border::FixedDialog:
        return {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME};
    case Window::Border::FixedSingle:
        break;
    }
    return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0};
}

}  // namespace

Window::Window(const Design& design) : design_(design), backBrush_(CreateSolidBrush(design.backColour))
{
    const WindowStyle style = StyleFor(design.border);
    // The procedure takes the handle into hwnd_ at WM_NCCREATE, before the first message that needs it.
    CreateWindowExW(style.exStyle, MAKEINTATOM(ProgramWindowClass(&Window::Procedure)), design.caption.c_str(), style.style, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, design.owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("CreateWindowExW failed for a window");
    navigation_ = DialogNavigation(handle());
    dpi_ = GetDpiForWindow(handle());
}

Window::~Window()
{
    onClosed = nullptr;  // the owner is letting this window go; it needs no word of the closing
    Close();
}

void Window::Show()
{
    BringForward();
    navigation_.FocusFirst();
}

void Window::BringForward()
{
    ShowWindow(handle(), SW_SHOW);
    SetForegroundWindow(handle());
}

void Window::Close()
{
    if (!IsOpen()) return;
    // Enabled before the modal window goes, so that the system activates the owner and not another program.
    disabledOwner_.reset();
    DestroyWindow(handle());
}

void Window::ShowModal()
{
    HWND owner = GetWindow(handle(), GW_OWNER);
    if (owner != nullptr && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabledOwner_.reset(owner);
    }
    Show();
    if (!RunMessageLoop([this] { return IsOpen(); })) Close();
}

void Window::SetDefaultButton(Control& button) { navigation_.SetDefaultButton(button.handle()); }

void Window::SetCancelButton(Control& button) { navigation_.SetCancelButton(button.handle()); }

void Window::ShowIcon(unsigned dpi)
{
    const int resourceId = design_.iconResource;
    bigIcon_ = LoadProgramIcon(resourceId, GetSystemMetricsForDpi(SM_CXICON, dpi));
    smallIcon_ = LoadProgramIcon(resourceId, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void Window::SetTabOrder(std::initializer_list<const Control*> controls)
{
    HWND previous = HWND_TOP;
    for (const Control* control : controls) {
        SetWindowPos(control->handle(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control->handle();
    }
}

void Window::LayOut() { LayOutAt(dpi_); }

void Window::LayOutAt(unsigned dpi)
{
    dpi_ = dpi;
    SizeClientArea(TwipsToPixels(design_.clientSize.width, dpi), TwipsToPixels(design_.clientSize.height, dpi), dpi);

    // The old font is deleted only once no control uses it any more.
    UniqueFont font = CreateMessageFont(dpi);
    for (Control* control : controls_) control->OnLayout(dpi, font.get());
    font_ = std::move(font);
    if (design_.iconResource != 0) ShowIcon(dpi);
    OnLayout(dpi);
    InvalidateRect(handle(), nullptr, TRUE);
}

void Window::SizeClientArea(int width, int height, unsigned dpi)
{
    RECT frame{0, 0, width, height};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(handle(), GWL_EXSTYLE)), dpi);
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame the system actually draws may differ from the computed one (a dpi the system has not applied
    // to the frame yet): what counts is the client area.
    RECT client;
    GetClientRect(handle(), &client);
    if (client.right == width && client.bottom == height) return;
    RECT window;
    GetWindowRect(handle(), &window);
    SetWindowPos(handle(), nullptr, 0, 0, window.right - window.left + width - client.right,
                 window.bottom - window.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CenterOnScreen()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT bounds;
    GetWindowRect(handle(), &bounds);
    const RECT& area = monitor.rcWork;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(handle(), nullptr, area.left + (area.right - area.left - width) / 2,
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

void Window::OnDestroyed()
{
    for (Control* control : controls_) control->ForgetHandle();
    SetWindowLongPtrW(handle(), GWLP_USERDATA, 0);
    hwnd_.release();  // destroyed by the system
    navigation_ = DialogNavigation(nullptr);
    if (auto closed = onClosed) closed();
}

std::optional<LRESULT> Window::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        Control* control = FindControl(reinterpret_cast<HWND>(lParam));
        if (control != nullptr && GetDlgCtrlID(control->handle()) == LOWORD(wParam))
            return control->OnCommand(HIWORD(wParam));
        return 0;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (Control* control = FindControl(header.hwndFrom)) return control->OnNotify(header);
        return std::nullopt;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Control* control = FindControl(item.hwndItem)) {
            control->OnDrawItem(item);
            return TRUE;
        }
        return std::nullopt;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (const LRESULT brush = ColourFor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

LRESULT Window::ColourFor(UINT message, HDC dc, HWND controlHandle)
{
    Control* control = FindControl(controlHandle);
    if (control != nullptr) {
        if (HBRUSH brush = control->OnControlColour(dc)) return reinterpret_cast<LRESULT>(brush);
        if (!control->StandsOnWindowColour()) return 0;
    }
    // Captions without a colour of their own stand on the window's colour.
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return 0;
    SetBkColor(dc, design_.backColour);
    return reinterpret_cast<LRESULT>(backBrush_.get());
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto reflected = ReflectToControl(message, wParam, lParam)) return *reflected;
    if (const auto navigated = navigation_.HandleMessage(message, wParam, lParam)) return *navigated;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush_.get());
        return 1;
    }
    case WM_DPICHANGED: {
        const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle(), nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    return DefWindowProcW(handle(), message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_.reset(hwnd);
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
