#pragma once
#include <string>

#include "platform/dialogs.h"

namespace korvane::ui {

// The program's modal boxes on Windows, owned by the active window of the user-interface thread (the folder
// dialog by the window it is given).
class Win32Dialogs : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageBoxSpec& message) override;
    std::wstring PromptInput(const std::wstring& title, const std::wstring& prompt,
                             const std::wstring& defaultText) override;
    FolderPick PickFolder(WindowHandle owner, const std::wstring& title, const std::wstring& initialFolder) override;
    std::optional<std::wstring> ChooseSaveFile(const FileDialogSpec& options) override;
    std::optional<std::wstring> ChooseOpenFile(const FileDialogSpec& options) override;
    bool WaitFor(WindowHandle owner, const std::function<void(std::stop_token)>& work) override;
};

// The common file dialogs' filter for "description|pattern|description|pattern": every "|" becomes a NUL and
// the list ends in two NULs.
std::wstring CommonDialogFilter(const std::wstring& filter);

// A COM failure as the number the folder dialog reports: the Windows error code for errors that carry one,
// the HRESULT itself otherwise.
int ErrorNumberOf(long hresult);

}  // namespace korvane::ui
