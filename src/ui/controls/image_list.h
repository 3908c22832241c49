#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/controls/handles.h"

namespace korvane::ui {

// A list of square pictures from the program's icons, each found by its key, drawn again at the window's dpi.
class ImageList {
public:
    struct Picture {
        std::wstring key;
        int iconResource;
    };
    // `size` in pixels at 96 dpi.
    ImageList(int size, std::vector<Picture> pictures);

    // Draws the pictures again at `dpi` for `control` (a tree or a list view, anything with SetImageList); the
    // previous list is released once the control holds the new one.
    template <typename Pictured>
    void ScaleFor(Pictured& control, unsigned dpi)
    {
        const UniqueImageList previous = std::exchange(list_, DrawnAt(dpi));
        control.SetImageList(list_.get());
    }
    // The picture's position in the list, or -1 when there is no picture with that key.
    int IndexOf(const std::wstring& key) const;

private:
    UniqueImageList DrawnAt(unsigned dpi) const;

    int size_;
    std::vector<Picture> pictures_;
    UniqueImageList list_;
};

// The program's icon resource drawn at `size` pixels, or nothing.
UniqueIcon LoadProgramIcon(int resourceId, int size);

}  // namespace korvane::ui
