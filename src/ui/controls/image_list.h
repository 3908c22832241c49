#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/handles.h"

namespace korvane::ui {

// A list of square pictures, each found by its key, drawn again at the window's dpi.
class ImageList {
public:
    struct Picture {
        std::wstring key;
        std::function<UniqueIcon(int size)> load;  // the picture at `size` pixels, or nothing
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

// The system's picture of a folder, closed or open.
UniqueIcon LoadFolderIcon(bool open, int size);

}  // namespace korvane::ui
