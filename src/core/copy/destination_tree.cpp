#include "core/copy/destination_tree.h"

#include "core/copy/copy_window_texts.h"
#include "core/common/path_text.h"

namespace korvane::destination_tree {

std::wstring ListedFolder(std::wstring storedPath) { return AddLastBackslash(storedPath); }

std::wstring NodeFolder(std::wstring storedPath, const std::wstring& nodePath)
{
    std::wstring folder = RemoveLastBackslash(storedPath) + L"\\" + nodePath;
    return AddLastBackslash(folder);
}

std::optional<MessageBoxSpec> ListChoiceFailureMessage(const std::wstring& folder, const Failure& failure)
{
    if (failure.code() != failure_code::kPathNotFound) return std::nullopt;
    return copy_window_texts::NotAPath(folder);
}

MessageBoxSpec NodeClickFailureMessage(const std::wstring& folder, const Failure& failure)
{
    if (failure.code() == failure_code::kPathNotFound) return copy_window_texts::NotAPath(folder);
    return copy_window_texts::FolderUnreadable(folder, failure.reason());
}

}  // namespace korvane::destination_tree
