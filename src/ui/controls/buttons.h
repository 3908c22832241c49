#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/controls/control.h"

namespace korvane::ui {

// A push button. `onClick` runs for a click, its access key, Space, or Enter/Esc when it is the window's
// default or cancel button.
class Button : public Control {
public:
    Button(ControlHost& parent, const ControlDesign& design);
    using Control::SetCaption;

    std::function<void()> onClick;

protected:
    using Control::Control;
    LRESULT OnCommand(WORD code) override;
};

// A button drawn flat in its own back colour, with a raised edge that sinks while it is pressed.
class GraphicalButton : public Button {
public:
    GraphicalButton(ControlHost& parent, const ControlDesign& design);

protected:
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;
};

// A button with a check state: an option button or a check box.
class CheckableButton : public Control {
public:
    using Control::SetCaption;
    bool IsChecked() const;

    // Runs for every click by the user, and when the program changes the state as described by the subclass.
    std::function<void()> onClick;

protected:
    using Control::Control;
};

// One button of a row of option buttons: consecutive option buttons form one group in which at most one is
// chosen. The group is one tab stop, whatever its state: the chosen button, or without one the first visible
// and enabled button; the arrow keys move inside the group.
class OptionButton : public CheckableButton {
public:
    OptionButton(ControlHost& parent, const ControlDesign& design);
    // Choosing a button clears the others of its group and runs `onClick`, as the user's choice does (also on
    // the chosen button); clearing it runs nothing.
    void SetChecked(bool checked);
    // As the control's own, and the group's tab stop moves to a button that can take the focus.
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);

protected:
    LRESULT OnCommand(WORD code) override;

private:
    void Choose();
    // The option buttons of this button's group, hidden and disabled ones included, in tab order.
    std::vector<HWND> GroupMembers() const;
    // Gives WS_TABSTOP to the one button of the group that Tab should reach and takes it from the others
    // (the system's BM_SETCHECK takes it from every radio button it clears).
    void PlaceGroupTabStop() const;
};

// A check box; `onClick` runs whenever its state changes, by the user or by the program.
class CheckBox : public CheckableButton {
public:
    CheckBox(ControlHost& parent, const ControlDesign& design);
    void SetChecked(bool checked);

protected:
    LRESULT OnCommand(WORD code) override;
};

}  // namespace korvane::ui
