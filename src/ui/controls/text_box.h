#pragma once
#include <functional>
#include <optional>
#include <string>

#include "ui/controls/control.h"

namespace korvane::ui {

// A single-line text box. `onChange` runs once for every change of its text: typed, pasted, or set by the
// program, in which case it has run when SetText returns.
class TextBox : public Control {
public:
    TextBox(ControlHost& parent, const ControlDesign& design);
    void SetText(const std::wstring& text);

    std::function<void()> onChange;

protected:
    TextBox(ControlHost& parent, const ControlDesign& design, DWORD extraStyle);
    LRESULT OnCommand(WORD code) override;
    bool StandsOnWindowColour() const override { return false; }

private:
    // While SetText runs: whether the edit control has already reported the change itself.
    struct ProgramChange {
        bool reported = false;
    };
    std::optional<ProgramChange> programChange_;
};

// A text box for a password: every character shows as "*", and the input method is off, so that what is typed
// is exactly what the keys give.
class PasswordBox : public TextBox {
public:
    PasswordBox(ControlHost& parent, const ControlDesign& design);
};

}  // namespace korvane::ui
