#pragma once
#include <optional>
#include <string>

#include "ui/controls/control.h"

namespace korvane::ui {

// A caption, or with no caption a plain area of colour.
class Label : public Control {
public:
    // A caption longer than its line wraps at words, or is cut at the label's edge.
    enum class Wrap { Words, None };
    Label(ControlHost& parent, const std::wstring& caption, const TwipsRect& place,
          std::optional<COLORREF> backColour = std::nullopt, Wrap wrap = Wrap::Words);
    using Control::SetCaption;
};

// A frame with a caption around a group of controls, filled with its back colour. The controls it holds are
// the window's own, placed with Inside() and created before it, so that they lie above it.
class Frame : public Control {
public:
    Frame(ControlHost& parent, const std::wstring& caption, const TwipsRect& place, COLORREF backColour);
    ~Frame() override;
    using Control::SetCaption;

private:
    void Paint(HDC dc) const;
    static LRESULT CALLBACK PaintingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self) noexcept;
};

}  // namespace korvane::ui
