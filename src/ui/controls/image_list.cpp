#include "ui/controls/image_list.h"

#include <algorithm>

#include "ui/twips.h"

namespace korvane::ui {

namespace {

// A fully transparent picture, so that a picture that cannot be had leaves the others at their positions.
void AddBlank(HIMAGELIST list, int size)
{
    const std::vector<BYTE> transparent(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0xFF);
    const UniqueBitmap mask(CreateBitmap(size, size, 1, 1, transparent.data()));
    const UniqueBitmap colour(CreateBitmap(size, size, 1, 1, nullptr));
    ImageList_Add(list, colour.get(), mask.get());
}

}  // namespace

ImageList::ImageList(int size, std::vector<Picture> pictures) : size_(size), pictures_(std::move(pictures)) {}

UniqueImageList ImageList::DrawnAt(unsigned dpi) const
{
    const int size = ScalePixels(size_, dpi);
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(pictures_.size()), 0));
    for (const Picture& picture : pictures_) {
        const UniqueIcon icon = LoadProgramIcon(picture.iconResource, size);
        if (!icon || ImageList_AddIcon(list.get(), icon.get()) < 0) AddBlank(list.get(), size);
    }
    return list;
}

int ImageList::IndexOf(const std::wstring& key) const
{
    const auto found = std::find_if(pictures_.begin(), pictures_.end(),
                                    [&key](const Picture& picture) { return picture.key == key; });
    return found == pictures_.end() ? -1 : static_cast<int>(found - pictures_.begin());
}

UniqueIcon LoadProgramIcon(int resourceId, int size)
{
    // The program's own pictures rather than the shell's: asking the shell for its folder picture would load its
    // whole icon cache, a tenth of a second and 9 MB at the copy window's start.
    return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                                     IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace korvane::ui
