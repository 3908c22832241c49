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
    TreeView(Window& parent, const TwipsRect& place);

    void SetImageList(HIMAGELIST images);
    void Clear();
    // Adds a node as the last child of `parent` (nullptr: at the root level).
    TreeNode AddNode(TreeNode parent, const std::wstring& text, int image, int selectedImage);
    std::wstring NodeText(TreeNode node) const;
    // The children of `parent` in their order (nullptr: the root level).
    std::vector<TreeNode> Children(TreeNode parent) const;
    bool HasChildren(TreeNode node) const;
    // The texts of the nodes from the root level down to `node`, joined by `pathSeparator`.
    std::wstring FullPath(TreeNode node) const;
    // Sorts the children of `parent` (nullptr: the root level) by their text.
    void SortChildren(TreeNode parent);
    void Expand(TreeNode node);
    void Collapse(TreeNode node);
    bool IsExpanded(TreeNode node) const;
    TreeNode SelectedNode() const;
    // Where the node's picture and text are drawn, in the tree's client coordinates.
    RECT NodeRect(TreeNode node) const;

    std::wstring pathSeparator = L"\\";
    // Runs when the user clicks a node's picture or text, also of the node already selected and also for the
    // second click of a double click, after the node has become the selected one. Clicks on the expand buttons
    // are not node clicks.
    std::function<void(TreeNode)> onNodeClick;

protected:
    LRESULT OnNotify(const NMHDR& header) override;

private:
    static LRESULT CALLBACK ClickProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    TreeNode Parent(TreeNode node) const;
};

}  // namespace korvane::ui
