#pragma once
#include <string>

#include "platform/dialogs.h"

// Every text the copy window shows besides its captions: its list item, its placeholder and its boxes.
namespace korvane::copy_window_texts {

// The list's one item when no destination is registered: choosing it opens the folder picker.
inline constexpr wchar_t kPickFolderItem[] = L"(フォルダを選択)";
// The first source option's caption when no source is registered.
inline constexpr wchar_t kUnregisteredSource[] = L"(未登録)";

// A destination or tree folder that is not there.
MessageBoxSpec NotAPath(const std::wstring& folder);
// A tree folder that is there but cannot be listed; `reason` is the system's, when it gives one.
MessageBoxSpec FolderUnreadable(const std::wstring& folder, const std::wstring& reason);
// The author's message: a question, then the reply to its answer.
MessageBoxSpec AuthorQuestion();
MessageBoxSpec AuthorReply(MessageAnswer answer);

}  // namespace korvane::copy_window_texts
