#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/controls/control.h"

namespace korvane::ui {

using TreeNode = HTREEITEM;

// A tree of text nodes with pictures from an image list, lines and expand buttons.
class TreeView : public Control {
public:
    TreeView(ControlHost& parent, const ControlDesign& design);

    void SetImageList(HIMAGELIST images);
    void Clear();
    // Adds a node as the last child of `parent` (nullptr: at the root level).
    TreeNode AddNode(TreeNode parent, const std::wstring& text, int image, int selectedImage);
    std::wstring NodeText(TreeNode node) const;
    bool HasChildren(TreeNode node) const;
    // The texts of the nodes from the root level down to `node`, joined by "\".
    std::wstring FullPath(TreeNode node) const;
    void Expand(TreeNode node);

    // Runs when the user clicks a node's picture or text, also of the node already selected and also for the
    // second click of a double click, after the node has become the selected one. Clicks on the expand buttons
    // are not node clicks.
    std::function<void(TreeNode)> onNodeClick;

protected:
    LRESULT OnNotify(const NMHDR& header) override;

private:
    LRESULT OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    TreeNode Parent(TreeNode node) const;
};

// Puts `texts` in the order in which a tree sorts its nodes (TVM_SORTCHILDREN: lstrcmpiW, the user's locale
// without regard to case), equal ones in their order. Sorting before the nodes are added costs a tenth of
// sorting them in the tree, which asks each node for its text at every comparison.
void SortAsTreeSorts(std::vector<std::wstring>& texts);

}  // namespace korvane::ui
