#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/controls/control.h"

namespace korvane::ui {

// A list of items shown as large icons with their labels, one selectable at a time, whose labels the user can
// edit in place (a click on the selected item's label, or F2). The items are the program's own: the list asks
// `itemLabel` for what it draws and holds nothing but their number, so a list of any length is filled at once.
class ListView : public Control {
public:
    ListView(ControlHost& parent, const ControlDesign& design);

    void SetImageList(HIMAGELIST images);
    // The picture every item shows.
    void SetItemImage(int image) { itemImage_ = image; }
    // The number of items; the list draws them again.
    void SetItemCount(std::size_t count);
    std::size_t ItemCount() const;
    std::optional<std::size_t> SelectedIndex() const;
    // Selects one item (nothing: none) and scrolls it into view. Runs no handler.
    void Select(std::optional<std::size_t> index);
    // Draws one item again, after its label changed.
    void RedrawItem(std::size_t index);

    // The label of an item, asked for whenever the list draws or measures it; valid until the items change.
    std::function<std::wstring_view(std::size_t index)> itemLabel;
    // The user clicked an item (which the list has already selected), also for the second click of a double click.
    std::function<void(std::size_t index)> onItemClick;
    // The selection changed, by the user or by the list itself.
    std::function<void(std::optional<std::size_t> index)> onSelectionChange;
    // The Delete key was pressed in the list, with or without Shift, Ctrl or Alt.
    std::function<void()> onDeleteKey;
    // The in-place edit of the selected item's label ended with `label`; false refuses it.
    std::function<bool(const std::wstring& label)> onEndLabelEdit;

protected:
    LRESULT OnNotify(const NMHDR& header) override;

private:
    LRESULT OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void FillDisplayInfo(NMLVDISPINFOW& info) const;

    int itemImage_ = 0;
};

}  // namespace korvane::ui
