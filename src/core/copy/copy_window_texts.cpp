#include "core/copy/copy_window_texts.h"

#include "core/common/error_box.h"

namespace korvane::copy_window_texts {
namespace {

constexpr wchar_t kAuthorTitle[] = L"作者からメッセージ";

}  // namespace

MessageBoxSpec NotAPath(const std::wstring& folder)
{
    return ErrorBox(folder + L"\r\nは正しいパスではありません");
}

MessageBoxSpec FolderUnreadable(const std::wstring& folder, const std::wstring& reason)
{
    return ErrorBox(folder + L"\r\nのフォルダを読み込めませんでした" + (reason.empty() ? L"" : L"\r\n" + reason));
}

MessageBoxSpec AuthorQuestion()
{
    return {L"このソフトずっと使ってくださいね。", MessageIcon::Question, MessageButtons::YesNo, false, kAuthorTitle};
}

MessageBoxSpec AuthorReply(MessageAnswer answer)
{
    return {answer == MessageAnswer::Yes ? L"よかった (^-^)" : L"そんなぁ (,- -,)", MessageIcon::Information,
            MessageButtons::Ok, false, kAuthorTitle};
}

}  // namespace korvane::copy_window_texts
