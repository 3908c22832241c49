#include "core/settings/destination_list_editor.h"

namespace korvane {

std::wstring DefaultDestinationName(std::size_t count) { return L"保存先" + std::to_wstring(count + 1); }

void DestinationListEditor::Replace(std::vector<DirEntry> items)
{
    items_ = std::move(items);
    selected_.reset();
}

void DestinationListEditor::Select(std::optional<std::size_t> index)
{
    selected_ = index && *index < items_.size() ? index : std::nullopt;
}

void DestinationListEditor::ClickItem(std::size_t index)
{
    if (index >= items_.size()) return;
    selected_ = index;
    SetNameBox(items_[index].name);
    SetFolderBox(items_[index].path);
}

void DestinationListEditor::SetNameBox(std::wstring text)
{
    nameBox_ = std::move(text);
    if (selected_) items_[*selected_].name = nameBox_;
}

void DestinationListEditor::SetFolderBox(std::wstring text)
{
    folderBox_ = std::move(text);
    if (selected_) items_[*selected_].path = folderBox_;
}

void DestinationListEditor::Add()
{
    const std::wstring defaultName = DefaultDestinationName(items_.size());
    items_.push_back({defaultName, {}});
    selected_ = items_.size() - 1;
    if (items_.size() == 1) {
        // The first item takes over what was typed into the boxes while the list was empty.
        if (nameBox_.empty()) {
            SetNameBox(defaultName);
        } else {
            items_.front().name = nameBox_;
        }
        items_.front().path = folderBox_;
    } else {
        SetNameBox(defaultName);
        SetFolderBox({});
    }
}

void DestinationListEditor::Delete()
{
    if (!selected_) return;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*selected_));
    if (items_.empty()) {
        selected_.reset();
        SetNameBox({});
        SetFolderBox({});
        return;
    }
    // The last item is selected, wherever the removed one stood.
    selected_ = items_.size() - 1;
    SetNameBox(items_.back().name);
    SetFolderBox(items_.back().path);
}

bool DestinationListEditor::EndLabelEdit(const std::wstring& label)
{
    if (label.empty()) return false;
    SetNameBox(label);
    return true;
}

}  // namespace korvane
