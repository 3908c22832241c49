#include "ui/controls/list_view.h"

#include <algorithm>
#include <cwchar>

namespace korvane::ui {

namespace {

// The list's own notifications.
constexpr UINT kDeleteKeyPressed = 1;
constexpr UINT kItemClicked = 2;

struct ItemClickNotification {
    NMHDR header;
    int item;
};

}  // namespace

ListView::ListView(ControlHost& parent, const ControlDesign& design)
    : Control(parent,
              {WC_LISTVIEWW,
               LVS_ICON | LVS_SINGLESEL | LVS_EDITLABELS | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
                   WS_TABSTOP | WS_GROUP,
               WS_EX_CLIENTEDGE},
              design)
{
    Subclass();
}

void ListView::SetImageList(HIMAGELIST images) { ListView_SetImageList(handle(), images, LVSIL_NORMAL); }

void ListView::SetItemCount(std::size_t count)
{
    // Items that join a list of large icons get a place of their own only when the list is arranged again; with
    // drawing paused, arranging does not draw every item on its way (3.6 s for 32,767 items under Wine).
    const auto pause = PauseRedraw(*this);
    ListView_SetItemCountEx(handle(), static_cast<int>(count), LVSICF_NOSCROLL);
    ListView_Arrange(handle(), LVA_DEFAULT);
}

std::size_t ListView::ItemCount() const { return static_cast<std::size_t>(ListView_GetItemCount(handle())); }

// A search for a selected item asks the items one by one, and a state change of "all items" (-1) visits each:
// both grow with the list. The number of selected items and the focused item are known at once, and the
// selected item is nearly always the focused one.
std::optional<std::size_t> ListView::SelectedIndex() const
{
    if (ListView_GetSelectedCount(handle()) == 0) return std::nullopt;
    int index = ListView_GetNextItem(handle(), -1, LVNI_FOCUSED | LVNI_SELECTED);
    if (index < 0) index = ListView_GetNextItem(handle(), -1, LVNI_SELECTED);
    if (index < 0) return std::nullopt;
    return static_cast<std::size_t>(index);
}

void ListView::Select(std::optional<std::size_t> index)
{
    const int item = index ? static_cast<int>(*index) : -1;
    // Only the items that hold the selection or the focus are cleared.
    const auto selected = SelectedIndex();
    const int focused = ListView_GetNextItem(handle(), -1, LVNI_FOCUSED);
    for (const int holder : {selected ? static_cast<int>(*selected) : -1, focused}) {
        if (holder >= 0 && holder != item) ListView_SetItemState(handle(), holder, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (!index) return;
    ListView_SetItemState(handle(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(handle(), item, FALSE);
}

void ListView::RedrawItem(std::size_t index)
{
    ListView_RedrawItems(handle(), static_cast<int>(index), static_cast<int>(index));
}

void ListView::FillDisplayInfo(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if (item.mask & LVIF_IMAGE) item.iImage = itemImage_;
    if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        const auto index = static_cast<std::size_t>(item.iItem);
        const std::wstring_view label = itemLabel ? itemLabel(index) : std::wstring_view();
        const std::size_t length = std::min(label.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        wmemcpy(item.pszText, label.data(), length);
        item.pszText[length] = L'\0';
    }
}

LRESULT ListView::OnNotify(const NMHDR& header)
{
    switch (header.code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)));
        return 0;
    case LVN_ODFINDITEMW:
        return -1;  // no type-ahead search among the labels
    case kItemClicked:
        if (onItemClick)
            onItemClick(static_cast<std::size_t>(reinterpret_cast<const ItemClickNotification&>(header).item));
        return 0;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) &&
            onSelectionChange)
            onSelectionChange(SelectedIndex());
        return 0;
    }
    case LVN_ENDLABELEDITW: {
        const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
        if (edit.item.pszText == nullptr || !onEndLabelEdit) return FALSE;  // the user cancelled the edit
        return onEndLabelEdit(edit.item.pszText) ? TRUE : FALSE;
    }
    case kDeleteKeyPressed:
        if (onDeleteKey) onDeleteKey();
        return 0;
    default:
        return 0;
    }
}

// The list reports a click (NM_CLICK) for the item under the pointer when the button goes up, and by then it may
// have scrolled the clicked item away; so the click is taken from the press, once the list has handled it.
LRESULT ListView::OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam == VK_DELETE) {
            NMHDR header{nullptr, 0, kDeleteKeyPressed};
            NotifyWindow(hwnd, header);
            return 0;
        }
        if (wParam == VK_F2 && message == WM_KEYDOWN) {
            const int focused = ListView_GetNextItem(hwnd, -1, LVNI_FOCUSED | LVNI_SELECTED);
            if (focused >= 0) ListView_EditLabel(hwnd, focused);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The list selects and focuses the item pressed on, and selects nothing for a press beside the items.
        const LRESULT result = CallClassProcedure(hwnd, message, wParam, lParam);
        if (!IsWindow(hwnd) || ListView_GetSelectedCount(hwnd) == 0) return result;
        const int clicked = ListView_GetNextItem(hwnd, -1, LVNI_FOCUSED | LVNI_SELECTED);
        if (clicked >= 0) {
            ItemClickNotification notification{{nullptr, 0, kItemClicked}, clicked};
            NotifyWindow(hwnd, notification.header);
        }
        return result;
    }
    default:
        break;
    }
    return CallClassProcedure(hwnd, message, wParam, lParam);
}

}  // namespace korvane::ui
