#include "ui/controls/combo_box.h"

#include "ui/twips.h"

namespace korvane::ui {

namespace {
constexpr int kDroppedListTwips = 2400;  // the open list below the box: about ten items
}

ComboBox::ComboBox(ControlHost& parent, const ControlDesign& design)
    : Control(parent, {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP}, design)
{
}

void ComboBox::AddItem(const std::wstring& text)
{
    SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::AddItems(std::size_t count, const std::function<const std::wstring&(std::size_t index)>& itemText)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < count; ++i) characters += itemText(i).size() + 1;
    SendMessageW(handle(), CB_INITSTORAGE, count, static_cast<LPARAM>(characters * sizeof(wchar_t)));
    const auto pause = PauseRedraw(*this);
    for (std::size_t i = 0; i < count; ++i) AddItem(itemText(i));
}

void ComboBox::Clear() { SendMessageW(handle(), CB_RESETCONTENT, 0, 0); }

int ComboBox::SelectedIndex() const { return static_cast<int>(SendMessageW(handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetSelectedIndex(int index)
{
    // CB_SETCURSEL sends no notification of its own.
    SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (onSelectionChange) onSelectionChange();
}

void ComboBox::CloseDropDownSoon()
{
    // CBN_DROPDOWN comes before the list is shown, so closing it from there would come too early.
    PostMessageW(handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

LRESULT ComboBox::OnCommand(WORD code)
{
    if (code == CBN_SELCHANGE && onSelectionChange) onSelectionChange();
    if (code == CBN_DROPDOWN && onDropDown) onDropDown();
    return 0;
}

void ComboBox::OnLayout(unsigned dpi, HFONT font)
{
    // The height of a combo box's window includes its open list; the closed box takes its height from the font.
    SetFont(font);
    RECT place = PixelRect(dpi);
    place.bottom += TwipsToPixels(kDroppedListTwips, dpi);
    MoveTo(place);
}

}  // namespace korvane::ui
