#include "core/settings/settings_file_messages.h"

#include "core/common/error_box.h"
#include "core/settings/settings_store.h"
#include "core/settings/settings_writer.h"
#include "platform/file_system.h"

namespace korvane::settings_file_messages {
namespace {

// The system's reason, or the failure code when the system gave none.
std::wstring ReasonOrCode(int code, const std::wstring& reason)
{
    return reason.empty() ? L"(Err No." + std::to_wstring(code) + L")" : reason;
}

std::wstring ReadLimitText() { return std::to_wstring(FileSystem::kReadLimit >> 20) + L" MB"; }

// A text as one line of a message box: a line break or NUL in it (the reason it was refused) shows as a blank,
// and a NUL would cut the box's text short.
std::wstring OnOneLine(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
    }
    return text;
}

}  // namespace

MessageBoxSpec ReadingFailure() { return ErrorBox(L"設定ファイルの読み込みに失敗しました"); }

MessageBoxSpec NoFile(const std::wstring& file) { return ErrorBox(file + L"\r\nの設定ファイルが見つかりませんでした"); }

MessageBoxSpec LookupFailure(const std::wstring& file)
{
    return ErrorBox(file + L"\r\nの設定ファイルを確認できませんでした");
}

MessageBoxSpec UnreadableFile(const std::wstring& file, int code, const std::wstring& reason)
{
    return ErrorBox(file + L"\r\nの設定ファイルを読み込めませんでした\r\n" + ReasonOrCode(code, reason));
}

MessageBoxSpec FileTooLarge(const std::wstring& file)
{
    return ErrorBox(file + L"\r\nの設定ファイルは大きすぎるため読み込みませんでした（設定ファイルは " +
                    ReadLimitText() + L" までです）");
}

MessageBoxSpec OutOfMemory(const std::wstring& file)
{
    return ErrorBox(file + L"\r\nの設定ファイルを読み込むためのメモリが足りませんでした");
}

MessageBoxSpec UnexpectedFailure(const std::wstring& file)
{
    return ErrorBox(file + L"\r\nの設定ファイルを読み込めませんでした");
}

MessageBoxSpec SaveFailure(const SaveResult& result)
{
    using Outcome = SaveResult::Outcome;
    const std::wstring headline = L"設定ファイル「" + result.file() + L"」を保存できませんでした。\r\n";
    const std::wstring separatorRule = L"の名前またはフォルダに「|」が含まれています。「|」は使えません。";
    const std::wstring lineBreakRule = L"に改行または NUL 文字が含まれています。改行と NUL 文字は使えません。";
    const std::wstring slot = L"コピー元 " + std::to_wstring(result.itemNumber()) + L" ";
    const std::wstring destination =
        L"保存先 " + std::to_wstring(result.itemNumber()) + L"「" + OnOneLine(result.destinationLabel()) + L"」";
    switch (result.outcome()) {
    case Outcome::Saved:
        break;
    case Outcome::SeparatorInSlot:
        return ErrorBox(headline + slot + separatorRule);
    case Outcome::SeparatorInDestination:
        return ErrorBox(headline + destination + separatorRule);
    case Outcome::LineBreakInSlot:
        return ErrorBox(headline + slot + L"の名前またはフォルダ" + lineBreakRule);
    case Outcome::LineBreakInDestination:
        return ErrorBox(headline + destination + L"の名前またはフォルダ" + lineBreakRule);
    case Outcome::LineBreakInPassword:
        return ErrorBox(headline + L"パスワード" + lineBreakRule);
    case Outcome::TooManyDestinations:
        return ErrorBox(headline + L"保存先が " + std::to_wstring(result.itemNumber()) + L" 件あります。保存先は " +
                        std::to_wstring(SettingsStore::kMaxDestinations) + L" 件までです。");
    case Outcome::ExistingFileTooLarge:
        return ErrorBox(headline + L"今の設定ファイルが大きすぎます（設定ファイルは " + ReadLimitText() + L" までです）。");
    case Outcome::FileFailure:
        return ErrorBox(headline + ReasonOrCode(result.failureCode(), result.reason()));
    }
    return ErrorBox(headline);
}

}  // namespace korvane::settings_file_messages
