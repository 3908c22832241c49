// The folder dialog: the shell's file dialog in its folder-picking mode.
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "ui/controls/handles.h"
#include "ui/dialogs/win32_dialogs.h"

namespace korvane::ui {

namespace {

using Microsoft::WRL::ComPtr;

bool IsExistingFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HRESULT OpenAtFolder(IFileOpenDialog& dialog, const std::wstring& folder)
{
    if (folder.empty() || !IsExistingFolder(folder)) return S_OK;
    ComPtr<IShellItem> item;
    // A folder the shell cannot name is not worth a failure: the dialog opens where it would anyway.
    if (FAILED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&item)))) return S_OK;
    return dialog.SetFolder(item.Get());
}

HRESULT ChooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder, std::wstring& chosen)
{
    ComPtr<IFileOpenDialog> dialog;
    HRESULT hr = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog));
    if (FAILED(hr)) return hr;
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(hr = dialog->GetOptions(&options))) return hr;
    if (FAILED(hr = dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST)))
        return hr;
    if (FAILED(hr = dialog->SetTitle(title.c_str()))) return hr;
    if (FAILED(hr = OpenAtFolder(*dialog.Get(), initialFolder))) return hr;
    if (FAILED(hr = dialog->Show(owner))) return hr;

    ComPtr<IShellItem> result;
    if (FAILED(hr = dialog->GetResult(&result))) return hr;
    UniqueCoTaskMemString path;
    PWSTR received = nullptr;
    hr = result->GetDisplayName(SIGDN_FILESYSPATH, &received);
    path.reset(received);
    if (FAILED(hr)) return hr;
    chosen = path.get();
    return S_OK;
}

}  // namespace

FolderPick Win32Dialogs::PickFolder(WindowHandle owner, const std::wstring& title, const std::wstring& initialFolder)
{
    // COM for this call, in the single-threaded apartment that the shell's dialogs need.
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const ScopeExit leaveApartment([apartment] {
        if (SUCCEEDED(apartment)) CoUninitialize();
    });
    if (FAILED(apartment)) return {{}, ErrorNumberOf(apartment)};
    FolderPick pick;
    const HRESULT hr = ChooseFolder(static_cast<HWND>(owner), title, initialFolder, pick.path);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {};
    if (FAILED(hr)) pick.errorNumber = ErrorNumberOf(hr);
    return pick;
}

}  // namespace korvane::ui
