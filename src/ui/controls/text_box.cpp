#include "ui/controls/text_box.h"

namespace korvane::ui {

TextBox::TextBox(Window& parent, const TwipsRect& place, std::optional<COLORREF> backColour)
    : Control(parent, {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, L"", place, backColour})
{
}

void TextBox::SetText(const std::wstring& text)
{
    // Edit controls report a WM_SETTEXT with EN_CHANGE on some systems and not on others: the handler runs
    // for whichever comes first, exactly once.
    const auto outer = std::exchange(programChange_, ProgramChange{});
    SetWindowTextW(handle(), text.c_str());
    const bool reported = programChange_->reported;
    programChange_ = outer;
    if (!reported && onChange) onChange();
}

LRESULT TextBox::OnCommand(WORD code)
{
    if (code != EN_CHANGE) return 0;
    if (programChange_) {
        if (programChange_->reported) return 0;
        programChange_->reported = true;
    }
    if (onChange) onChange();
    return 0;
}

}  // namespace korvane::ui
