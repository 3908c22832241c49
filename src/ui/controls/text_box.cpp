#include "ui/controls/text_box.h"

#include <imm.h>

namespace korvane::ui {

TextBox::TextBox(ControlHost& parent, const ControlDesign& design) : TextBox(parent, design, 0) {}

TextBox::TextBox(ControlHost& parent, const ControlDesign& design, DWORD extraStyle)
    : Control(parent, {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP | extraStyle, WS_EX_CLIENTEDGE}, design)
{
}

PasswordBox::PasswordBox(ControlHost& parent, const ControlDesign& design) : TextBox(parent, design, ES_PASSWORD)
{
    SendMessageW(handle(), EM_SETPASSWORDCHAR, L'*', 0);
    ImmAssociateContext(handle(), nullptr);
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
