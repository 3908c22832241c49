#pragma once
#include <functional>
#include <string>

#include "ui/controls/control.h"

namespace korvane::ui {

// A drop-down list: the user picks one of its items and cannot type. Items stay in the order they were added.
class ComboBox : public Control {
public:
    ComboBox(ControlHost& parent, const ControlDesign& design);

    void AddItem(const std::wstring& text);
    // Appends `count` items, the text of each from `itemText`, at once: the list takes its storage in one
    // piece and is drawn once, at the end.
    void AddItems(std::size_t count, const std::function<const std::wstring&(std::size_t index)>& itemText);
    void Clear();
    // -1 when no item is selected.
    int SelectedIndex() const;
    // Selects an item and runs `onSelectionChange` before it returns, as the user's choice of an item does.
    void SetSelectedIndex(int index);
    // Closes the open list once the control has finished opening it.
    void CloseDropDownSoon();

    // Runs when an item is chosen, by the user or by the program.
    std::function<void()> onSelectionChange;
    // Runs when the user opens the list, before it is shown.
    std::function<void()> onDropDown;

protected:
    LRESULT OnCommand(WORD code) override;
    void OnLayout(unsigned dpi, HFONT font) override;
};

}  // namespace korvane::ui
