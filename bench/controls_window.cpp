// A second reference of start-up time and memory: a bare Win32 program with the copy window's controls (the same
// classes, styles, places and colours, frames painted in their colour, the font, the icon and the tree's
// pictures), one list item and nothing else. The difference between it and the bare window is what the controls
// themselves cost on the platform.
#include <windows.h>
#include <commctrl.h>

#include "reference_program.h"
#include "resource.h"

namespace {

constexpr COLORREF kWindowColour = 0x00C0FFFF;
constexpr COLORREF kFrameColour = 0x00C0FFC0;
constexpr COLORREF kButtonColour = 0x00C0E0FF;

struct ControlDesign {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    RECT twips;  // left, top, width, height
};

constexpr DWORD kOwnerDrawn = BS_OWNERDRAW | WS_TABSTOP;
constexpr ControlDesign kControls[] = {
    {WC_BUTTONW, L"*", BS_RADIOBUTTON | WS_TABSTOP, 0, {480, 360, 3372, 252}},
    {WC_BUTTONW, L"*", BS_RADIOBUTTON | WS_TABSTOP, 0, {480, 600, 3372, 252}},
    {WC_BUTTONW, L"*", BS_RADIOBUTTON | WS_TABSTOP, 0, {480, 840, 3372, 252}},
    {WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, {240, 2160, 2892, 2676}},
    {WC_TREEVIEWW, L"", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
     WS_EX_CLIENTEDGE, {240, 2520, 3732, 1572}},
    {WC_BUTTONW, L"設定(&I)", kOwnerDrawn, 0, {120, 4800, 852, 372}},
    {WC_BUTTONW, L"開始(&S)", kOwnerDrawn, 0, {1920, 4800, 1092, 372}},
    {WC_BUTTONW, L"終了(&X)", kOwnerDrawn, 0, {3120, 4800, 1092, 372}},
    {WC_BUTTONW, L"作者からのメッセージ", kOwnerDrawn, 0, {480, 5280, 3492, 252}},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {240, 4200, 3732, 264}},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {360, 1200, 3252, 264}},
    {WC_BUTTONW, L"...", BS_PUSHBUTTON | WS_TABSTOP, 0, {3600, 1200, 252, 252}},
    {WC_BUTTONW, L"コピー元", BS_GROUPBOX, 0, {120, 120, 4092, 1452}},
    {WC_BUTTONW, L"保存先", BS_GROUPBOX, 0, {120, 1920, 4092, 2652}},
    {WC_STATICW, L"", SS_LEFT, 0, {156, 120, 4104, 1500}},
    {WC_STATICW, L"", SS_LEFT, 0, {156, 1920, 4104, 2700}},
};

HBRUSH backBrush = nullptr;
HBRUSH frameBrush = nullptr;
HBRUSH buttonBrush = nullptr;
HBRUSH shadowBrush = nullptr;

int Pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

HICON ProgramIcon(int resourceId, int size)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR));
}

void DrawButton(const DRAWITEMSTRUCT& item)
{
    FillRect(item.hDC, &item.rcItem, buttonBrush);
    DrawEdge(item.hDC, const_cast<RECT*>(&item.rcItem), EDGE_RAISED, BF_RECT);
    wchar_t text[32];
    GetWindowTextW(item.hwndItem, text, 32);
    RECT place = item.rcItem;
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, text, -1, &place, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The frames paint themselves in their colour, with an etched edge and their caption, as the copy window's do.
LRESULT CALLBACK FramePainting(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefSubclassProc(frame, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(frame, &paint);
    RECT area;
    GetClientRect(frame, &area);
    FillRect(dc, &area, frameBrush);
    const HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(frame, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = area;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    wchar_t caption[16];
    GetWindowTextW(frame, caption, 16);
    RECT text{area.left + metrics.tmAveCharWidth, area.top, area.right, area.top + metrics.tmHeight};
    SetBkColor(dc, kFrameColour);
    DrawTextW(dc, caption, -1, &text, DT_SINGLELINE);
    SelectObject(dc, font);
    EndPaint(frame, &paint);
    return 0;
}

LRESULT CALLBACK ControlsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {  // the shadows behind the frames are black; what stands in a frame, the frame's
        wchar_t className[16];
        GetClassNameW(reinterpret_cast<HWND>(lParam), className, 16);
        const bool shadow = lstrcmpiW(className, WC_STATICW) == 0;
        SetBkColor(reinterpret_cast<HDC>(wParam), shadow ? 0 : kFrameColour);
        return reinterpret_cast<LRESULT>(shadow ? shadowBrush : frameBrush);
    }
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kWindowColour);
        return reinterpret_cast<LRESULT>(backBrush);
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void AddControls(HWND window, UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HWND combo = nullptr, tree = nullptr;
    for (const ControlDesign& design : kControls) {
        const RECT& place = design.twips;
        HWND control = CreateWindowExW(design.exStyle, design.className, design.text,
                                       design.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Pixels(place.left, dpi),
                                       Pixels(place.top, dpi), Pixels(place.right, dpi), Pixels(place.bottom, dpi),
                                       window, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (lstrcmpW(design.className, WC_COMBOBOXW) == 0) combo = control;
        if (lstrcmpW(design.className, WC_TREEVIEWW) == 0) tree = control;
        if ((design.style & BS_TYPEMASK) == BS_GROUPBOX && lstrcmpW(design.className, WC_BUTTONW) == 0)
            SetWindowSubclass(control, FramePainting, 1, 0);
    }
    const int pictureSize = Pixels(16 * 15, dpi);
    HIMAGELIST pictures = ImageList_Create(pictureSize, pictureSize, ILC_COLOR32 | ILC_MASK, 2, 0);
    ImageList_AddIcon(pictures, ProgramIcon(IDI_FOLDER_CLOSED, pictureSize));
    ImageList_AddIcon(pictures, ProgramIcon(IDI_FOLDER_OPEN, pictureSize));
    TreeView_SetImageList(tree, pictures, TVSIL_NORMAL);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"保存先1"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    backBrush = CreateSolidBrush(kWindowColour);
    frameBrush = CreateSolidBrush(kFrameColour);
    buttonBrush = CreateSolidBrush(kButtonColour);
    shadowBrush = CreateSolidBrush(0);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ControlsProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = backBrush;
    windowClass.lpszClassName = L"ControlsWindow";
    if (!RegisterClassW(&windowClass)) return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, Pixels(4395, dpi), Pixels(5595, dpi)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
    HWND window = CreateWindowW(L"ControlsWindow", L"Controls window", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    if (window == nullptr) return 1;
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(ProgramIcon(IDI_KORVANE, GetSystemMetricsForDpi(SM_CXICON, dpi))));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ProgramIcon(IDI_KORVANE, GetSystemMetricsForDpi(SM_CXSMICON, dpi))));
    AddControls(window, dpi);
    return korvane::bench::ShowAndRunUntilClosed(window, show);
}
