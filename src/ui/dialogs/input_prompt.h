#pragma once
#include <string>

#include "ui/controls/buttons.h"
#include "ui/controls/static_controls.h"
#include "ui/controls/text_box.h"
#include "ui/controls/window.h"

namespace korvane::ui {

// A modal prompt for one line of text: a prompt of one or more lines, a text box holding a default text,
// and OK and Cancel. It opens where the system places new windows.
class InputPrompt : public Window {
public:
    InputPrompt(HWND owner, const std::wstring& title, const std::wstring& prompt, const std::wstring& defaultText);

    // Shows the prompt and waits: the text in the box on OK (or Enter); empty text on Cancel, Esc or the close
    // box.
    std::wstring Run();

    TextBox txtInput;
    Button cmdOK;
    Button cmdCancel;
    Label lblPrompt;

private:
    InputPrompt(HWND owner, const std::wstring& title, const std::wstring& prompt, const std::wstring& defaultText,
                int promptHeight);

    std::wstring answer_;
};

}  // namespace korvane::ui
