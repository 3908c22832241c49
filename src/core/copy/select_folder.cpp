#include "core/copy/select_folder.h"

namespace korvane {

std::wstring SelectFolder(Dialogs& dialogs, WindowHandle owner, const std::wstring& initialFolder)
{
    FolderPick pick = dialogs.PickFolder(owner, L"フォルダを選択してください", initialFolder);
    if (pick.errorNumber) {
        dialogs.ShowMessage({L"ERROR: #" + std::to_wstring(*pick.errorNumber), MessageIcon::None,
                             MessageButtons::Ok, false, L"ｴﾗｰ"});
        return {};
    }
    return std::move(pick.path);
}

}  // namespace korvane
