#pragma once
#include <windows.h>

#include <string>
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

    // Draws the pictures again at `dpi`; the previous list is released.
    void ScaleTo(unsigned dpi);
    HIMAGELIST handle() const noexcept { return list_.get(); }
    // The picture's position in the list, or -1 when there is no picture with that key.
    int IndexOf(const std::wstring& key) const;

private:
    int size_;
    std::vector<Picture> pictures_;
    UniqueImageList list_;
};

// The program's icon resource drawn at `size` pixels, or nothing.
UniqueIcon LoadProgramIcon(int resourceId, int size);

}  // namespace korvane::ui
