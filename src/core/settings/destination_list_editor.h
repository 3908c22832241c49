#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace korvane {

// The settings window's destination list as the user edits it: the items in their order, the selected one, and
// the two boxes below the list that edit the selected item (its name and its folder). While the list is empty
// the boxes hold pending texts, which the first added item takes over. Every operation is the user's action of
// the same name, with the changes of the boxes that it sets off already applied; none touches more than the
// items it changes.
class DestinationListEditor {
public:
    // Fills the list anew: nothing is selected and the boxes keep their texts.
    void Replace(std::vector<DirEntry> items);

    const std::vector<DirEntry>& items() const noexcept { return items_; }
    std::optional<std::size_t> selected() const noexcept { return selected_; }
    const std::wstring& nameBox() const noexcept { return nameBox_; }
    const std::wstring& folderBox() const noexcept { return folderBox_; }

    // The list's own selection moved (a click, an arrow key, a click beside the items): the boxes stay.
    void Select(std::optional<std::size_t> index);
    // A click on an item: it is selected and the boxes show its name and folder.
    void ClickItem(std::size_t index);
    // The name box's text changed: the selected item's name follows it (the empty text too).
    void SetNameBox(std::wstring text);
    // The folder box's text changed: the selected item's folder follows it.
    void SetFolderBox(std::wstring text);
    // Appends "保存先" + (count + 1) and selects it. The first item takes the pending name (when there is one)
    // and folder; a later one starts with the default name and no folder.
    void Add();
    // Removes the selected item and selects the last one left, or empties both boxes when none is left.
    // Nothing happens without a selection.
    void Delete();
    // The end of an in-place edit of the selected item's name: an empty name is refused (false) and the item
    // keeps its name; any other goes through the name box.
    bool EndLabelEdit(const std::wstring& label);

private:
    std::vector<DirEntry> items_;
    std::optional<std::size_t> selected_;
    std::wstring nameBox_;
    std::wstring folderBox_;
};

// The name a new item gets when `count` items are in the list before it: "保存先1", "保存先2", ...
std::wstring DefaultDestinationName(std::size_t count);

}  // namespace korvane
