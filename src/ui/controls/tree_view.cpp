#include "ui/controls/tree_view.h"

#include <windowsx.h>

#include <algorithm>

namespace korvane::ui {

namespace {

// The tree's own notification, sent once a mouse click on a node has been handled.
constexpr UINT kNodeClicked = 1;

struct NodeClickNotification {
    NMHDR header;
    TreeNode node;
};

}  // namespace

TreeView::TreeView(ControlHost& parent, const ControlDesign& design)
    : Control(parent,
              {WC_TREEVIEWW,
               TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP |
                   WS_GROUP,
               WS_EX_CLIENTEDGE},
              design)
{
    Subclass();
}

void TreeView::SetImageList(HIMAGELIST images) { TreeView_SetImageList(handle(), images, TVSIL_NORMAL); }

void TreeView::Clear() { TreeView_DeleteAllItems(handle()); }

TreeNode TreeView::AddNode(TreeNode parent, const std::wstring& text, int image, int selectedImage)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent != nullptr ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return TreeView_InsertItem(handle(), &insert);
}

std::wstring TreeView::NodeText(TreeNode node) const
{
    // A folder name has at most 255 characters; the buffer leaves room for any longer text a tree may hold.
    std::wstring text(1024, L'\0');
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    if (!TreeView_GetItem(handle(), &item)) return {};
    text.resize(wcslen(text.c_str()));
    return text;
}

bool TreeView::HasChildren(TreeNode node) const { return TreeView_GetChild(handle(), node) != nullptr; }

TreeNode TreeView::Parent(TreeNode node) const { return TreeView_GetParent(handle(), node); }

std::wstring TreeView::FullPath(TreeNode node) const
{
    std::wstring path = NodeText(node);
    for (TreeNode above = Parent(node); above != nullptr; above = Parent(above))
        path = NodeText(above) + L"\\" + path;
    return path;
}

void TreeView::Expand(TreeNode node) { TreeView_Expand(handle(), node, TVE_EXPAND); }

void SortAsTreeSorts(std::vector<std::wstring>& texts)
{
    // The system's sort keys order texts exactly as its comparison does, and compare as plain bytes.
    struct Keyed {
        std::string key;
        std::wstring text;
    };
    const LCID locale = GetThreadLocale();
    const auto writeKey = [locale](const std::wstring& text, std::string& key) {
        return LCMapStringW(locale, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), static_cast<int>(text.size()),
                            reinterpret_cast<LPWSTR>(key.data()), static_cast<int>(key.size()));
    };
    std::vector<Keyed> keyed;
    keyed.reserve(texts.size());
    for (std::wstring& text : texts) {
        // Working out a key is the cost, and asking for its size first would do it twice: a room that most keys
        // fit is tried first.
        std::string key(4 * text.size() + 16, '\0');
        int size = writeKey(text, key);
        if (size == 0) {
            key.clear();
            key.resize(static_cast<std::size_t>(writeKey(text, key)));
            size = writeKey(text, key);
        }
        key.resize(static_cast<std::size_t>(size));
        keyed.push_back({std::move(key), std::move(text)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = std::move(keyed[i].text);
}

LRESULT TreeView::OnNotify(const NMHDR& header)
{
    if (header.code == kNodeClicked && onNodeClick)
        onNodeClick(reinterpret_cast<const NodeClickNotification&>(header).node);
    return 0;
}

// The tree view selects a clicked node only after it has sent NM_CLICK, so the click is taken from the mouse
// message itself: the node under the pointer is found first, and reported once the tree has selected it.
LRESULT TreeView::OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK)
        return CallClassProcedure(hwnd, message, wParam, lParam);

    TVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TreeNode clicked = TreeView_HitTest(hwnd, &hit);
    if (!(hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) clicked = nullptr;
    const LRESULT result = CallClassProcedure(hwnd, message, wParam, lParam);
    if (clicked != nullptr && IsWindow(hwnd)) {
        NodeClickNotification notification{{nullptr, 0, kNodeClicked}, clicked};
        NotifyWindow(hwnd, notification.header);
    }
    return result;
}

}  // namespace korvane::ui
