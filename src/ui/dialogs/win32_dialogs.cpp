#include "ui/dialogs/win32_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "core/common/error_box.h"
#include "ui/dialogs/input_prompt.h"
#include "ui/dialogs/wait_for_work.h"

namespace korvane::ui {

namespace {

UINT MessageBoxStyle(const MessageBoxSpec& message)
{
    UINT style = 0;
    switch (message.icon) {
    case MessageIcon::None: break;
    case MessageIcon::Critical: style |= MB_ICONHAND; break;
    case MessageIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    case MessageIcon::Information: style |= MB_ICONASTERISK; break;
    }
    switch (message.buttons) {
    case MessageButtons::Ok: style |= MB_OK; break;
    case MessageButtons::YesNo: style |= MB_YESNO; break;
    case MessageButtons::RetryCancel: style |= MB_RETRYCANCEL; break;
    case MessageButtons::YesNoCancel: style |= MB_YESNOCANCEL; break;
    }
    if (message.secondButtonDefault) style |= MB_DEFBUTTON2;
    return style;
}

// A box that could not be shown counts as the answer that does nothing.
MessageAnswer CautiousAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::RetryCancel:
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

// Room for the longest path Windows knows, so that no chosen path is ever cut.
constexpr DWORD kFileNameCapacity = 32768;

DWORD FileDialogFlags(const FileDialogSpec& options)
{
    DWORD flags = 0;
    if (options.askBeforeReplacing) flags |= OFN_OVERWRITEPROMPT;
    if (options.hideReadOnly) flags |= OFN_HIDEREADONLY;
    if (options.fileMustExist) flags |= OFN_FILEMUSTEXIST;
    return flags;
}

std::optional<std::wstring> RunFileDialog(const FileDialogSpec& options, BOOL(WINAPI* run)(OPENFILENAMEW*))
{
    const std::wstring filter = CommonDialogFilter(options.filter);
    std::wstring file(kFileNameCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kFileNameCapacity;
    dialog.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
    dialog.Flags = FileDialogFlags(options);
    if (!run(&dialog)) {
        if (const DWORD error = CommDlgExtendedError(); error != 0) {
            MessageBoxW(dialog.hwndOwner,
                        (L"ファイルを選ぶ画面を開けませんでした（エラー番号 " + std::to_wstring(error) + L"）").c_str(),
                        kErrorTitle, MB_OK | MB_ICONHAND);
        }
        return std::nullopt;
    }
    file.resize(wcslen(file.c_str()));
    return file;
}

}  // namespace

MessageAnswer Win32Dialogs::ShowMessage(const MessageBoxSpec& message)
{
    switch (MessageBoxW(GetActiveWindow(), message.text.c_str(), message.title.c_str(), MessageBoxStyle(message))) {
    case IDOK: return MessageAnswer::Ok;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    case IDRETRY: return MessageAnswer::Retry;
    case IDCANCEL: return MessageAnswer::Cancel;
    default: return CautiousAnswer(message.buttons);
    }
}

std::wstring Win32Dialogs::PromptInput(const std::wstring& title, const std::wstring& prompt,
                                       const std::wstring& defaultText)
{
    InputPrompt dialog(GetActiveWindow(), title, prompt, defaultText);
    return dialog.Run();
}

std::optional<std::wstring> Win32Dialogs::ChooseSaveFile(const FileDialogSpec& options)
{
    return RunFileDialog(options, &GetSaveFileNameW);
}

std::optional<std::wstring> Win32Dialogs::ChooseOpenFile(const FileDialogSpec& options)
{
    return RunFileDialog(options, &GetOpenFileNameW);
}

bool Win32Dialogs::WaitFor(WindowHandle owner, const std::function<void(std::stop_token)>& work)
{
    return WaitForWork(static_cast<HWND>(owner), work);
}

std::wstring CommonDialogFilter(const std::wstring& filter)
{
    if (filter.empty()) return {};
    std::wstring converted = filter;
    std::replace(converted.begin(), converted.end(), L'|', L'\0');
    converted.append(2, L'\0');
    return converted;
}

int ErrorNumberOf(long hresult)
{
    if (HRESULT_FACILITY(hresult) == FACILITY_WIN32) return HRESULT_CODE(hresult);
    return static_cast<int>(hresult);
}

}  // namespace korvane::ui
