#include "ui/controls/buttons.h"

#include <algorithm>


namespace korvane::ui {

namespace {

bool IsClick(WORD code) { return code == BN_CLICKED || code == BN_DOUBLECLICKED; }

bool IsRadioButton(HWND hwnd)
{
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(className, WC_BUTTONW) == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// An option button starts a group unless it follows another one.
DWORD GroupStyleAfter(const ControlHost& parent)
{
    HWND previous = GetWindow(parent.handle(), GW_CHILD);
    if (previous != nullptr) previous = GetWindow(previous, GW_HWNDLAST);
    return previous != nullptr && IsRadioButton(previous) ? 0 : WS_GROUP;
}

}  // namespace

Button::Button(ControlHost& parent, const ControlDesign& design)
    : Control(parent, {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP}, design)
{
}

LRESULT Button::OnCommand(WORD code)
{
    if (IsClick(code) && onClick) onClick();
    return 0;
}

GraphicalButton::GraphicalButton(ControlHost& parent, const ControlDesign& design)
    : Button(parent, {WC_BUTTONW, BS_OWNERDRAW | WS_TABSTOP | WS_GROUP}, design)
{
}

void GraphicalButton::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &face, backBrush());
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    RECT textArea = face;
    if (pressed) OffsetRect(&textArea, 1, 1);
    const auto font = SelectForScope(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(handle(), WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
    const std::wstring caption = Text();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textArea, format);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        const int inset = GetSystemMetricsForDpi(SM_CXEDGE, GetDpiForWindow(handle())) + 1;
        RECT focus = face;
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
}

bool CheckableButton::IsChecked() const { return SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

OptionButton::OptionButton(ControlHost& parent, const ControlDesign& design)
    // Not an automatic radio button: those choose themselves when they get the focus, even by Tab.
    : CheckableButton(parent, {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP | GroupStyleAfter(parent)}, design)
{
    PlaceGroupTabStop();
}

void OptionButton::SetChecked(bool checked)
{
    if (!checked) {
        SendMessageW(handle(), BM_SETCHECK, BST_UNCHECKED, 0);
        PlaceGroupTabStop();
    } else if (!IsChecked()) {
        Choose();
    }
}

void OptionButton::SetVisible(bool visible)
{
    Control::SetVisible(visible);
    PlaceGroupTabStop();
}

void OptionButton::SetEnabled(bool enabled)
{
    Control::SetEnabled(enabled);
    PlaceGroupTabStop();
}

LRESULT OptionButton::OnCommand(WORD code)
{
    if (IsClick(code)) Choose();
    return 0;
}

void OptionButton::Choose()
{
    for (HWND member : GroupMembers()) {
        if (member != handle()) SendMessageW(member, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageW(handle(), BM_SETCHECK, BST_CHECKED, 0);
    PlaceGroupTabStop();
    if (onClick) onClick();
}

std::vector<HWND> OptionButton::GroupMembers() const
{
    // Hidden and disabled buttons belong to the group too, so the siblings are walked by hand rather than
    // with GetNextDlgGroupItem, which skips them.
    HWND first = handle();
    while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (previous == nullptr) break;
        first = previous;
    }
    std::vector<HWND> members;
    for (HWND member = first; member != nullptr; member = GetWindow(member, GW_HWNDNEXT)) {
        if (member != first && (GetWindowLongW(member, GWL_STYLE) & WS_GROUP)) break;
        if (IsRadioButton(member)) members.push_back(member);
    }
    return members;
}

void OptionButton::PlaceGroupTabStop() const
{
    const std::vector<HWND> members = GroupMembers();
    const auto canTakeFocus = [](HWND member) {
        const LONG style = GetWindowLongW(member, GWL_STYLE);
        return (style & WS_VISIBLE) && !(style & WS_DISABLED);
    };
    const auto chosen = [](HWND member) { return SendMessageW(member, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    auto stop = std::find_if(members.begin(), members.end(), chosen);
    if (stop == members.end()) stop = std::find_if(members.begin(), members.end(), canTakeFocus);
    for (auto member = members.begin(); member != members.end(); ++member) {
        const LONG style = GetWindowLongW(*member, GWL_STYLE);
        const LONG wanted = member == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (wanted != style) SetWindowLongW(*member, GWL_STYLE, wanted);
    }
}

CheckBox::CheckBox(ControlHost& parent, const ControlDesign& design)
    : CheckableButton(parent, {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP}, design)
{
}

void CheckBox::SetChecked(bool checked)
{
    if (checked == IsChecked()) return;
    SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (onClick) onClick();
}

LRESULT CheckBox::OnCommand(WORD code)
{
    if (IsClick(code) && onClick) onClick();
    return 0;
}

}  // namespace korvane::ui
