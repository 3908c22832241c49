#include "ui/controls/image_list.h"

#include <algorithm>

namespace korvane::ui {

namespace {

UniqueIcon LoadStockIcon(SHSTOCKICONID id, int size)
{
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(SHGetStockIconInfo(id, SHGSI_ICONLOCATION, &info))) return {};
    HICON icon = nullptr;
    if (PrivateExtractIconsW(info.szPath, info.iIcon, size, size, &icon, nullptr, 1, 0) != 1) return {};
    return UniqueIcon(icon);
}

}  // namespace

ImageList::ImageList(int size, std::vector<Picture> pictures) : size_(size), pictures_(std::move(pictures)) {}

void ImageList::ScaleTo(unsigned dpi)
{
    const int size = MulDiv(size_, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(pictures_.size()), 0));
    for (const Picture& picture : pictures_) {
        // A picture that cannot be had stays blank, so that the positions of the others hold.
        UniqueIcon icon = LoadStockIcon(picture.stockIcon, size);
        if (icon) {
            ImageList_AddIcon(list.get(), icon.get());
        } else {
            HDC screen = GetDC(nullptr);
            HBITMAP blank = CreateCompatibleBitmap(screen, size, size);
            ReleaseDC(nullptr, screen);
            ImageList_Add(list.get(), blank, nullptr);
            DeleteObject(blank);
        }
    }
    list_ = std::move(list);
}

int ImageList::IndexOf(const std::wstring& key) const
{
    const auto found = std::find_if(pictures_.begin(), pictures_.end(),
                                    [&key](const Picture& picture) { return picture.key == key; });
    return found == pictures_.end() ? -1 : static_cast<int>(found - pictures_.begin());
}

}  // namespace korvane::ui
