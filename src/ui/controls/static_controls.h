#pragma once
#include <string>

#include "ui/controls/control.h"

namespace korvane::ui {

// A caption, or with no caption a plain area of colour.
class Label : public Control {
public:
    // A caption longer than its line wraps at words, or is cut at the label's edge.
    enum class Wrap { Words, None };
    Label(ControlHost& parent, const ControlDesign& design, Wrap wrap = Wrap::Words);
    using Control::SetCaption;
};

// A frame with a caption around a group of controls, filled with its back colour. The controls it holds are
// the window's own, placed with Inside() and created before it, so that they lie above it.
class Frame : public Control {
public:
    Frame(ControlHost& parent, const ControlDesign& design);
    using Control::SetCaption;

protected:
    LRESULT OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    void Paint(HDC dc) const;
};

}  // namespace korvane::ui
