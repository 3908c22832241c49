#include "ui/controls/image_list.h"

#include <shellapi.h>

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

void ImageList::ScaleTo(unsigned dpi)
{
    const int size = ScalePixels(size_, dpi);
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(pictures_.size()), 0));
    for (const Picture& picture : pictures_) {
        const UniqueIcon icon = picture.load(size);
        if (!icon || ImageList_AddIcon(list.get(), icon.get()) < 0) AddBlank(list.get(), size);
    }
    list_ = std::move(list);
}

int ImageList::IndexOf(const std::wstring& key) const
{
    const auto found = std::find_if(pictures_.begin(), pictures_.end(),
                                    [&key](const Picture& picture) { return picture.key == key; });
    return found == pictures_.end() ? -1 : static_cast<int>(found - pictures_.begin());
}

UniqueIcon LoadFolderIcon(bool open, int size)
{
    // The small or the large picture, whichever is nearer the size; the image list scales it. The shell draws
    // them at the system's dpi.
    UINT flags = SHGFI_USEFILEATTRIBUTES | SHGFI_ICON;
    flags |= size <= GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForSystem()) ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    if (open) flags |= SHGFI_OPENICON;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info), flags)) return {};
    return UniqueIcon(info.hIcon);
}

}  // namespace korvane::ui
