#pragma once
// What the window tests share: a message pump, keys and clicks sent as real messages, a driver that acts on a
// modal box from inside its own message loop, and the copy window over a temporary folder.
#include <windows.h>
#include <winioctl.h>

#include <functional>
#include <memory>
#include <string>

#include "core/services.h"
#include "core/settings_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "ui/controls/message_loop.h"
#include "ui/controls/window.h"
#include "ui/copy/frm_copy.h"

namespace korvane::testing {

// Handles every message waiting for this thread, as the program's message loop does. Bounded, so that a
// window that keeps posting cannot hang a test.
inline void PumpMessages() { ui::HandleWaitingMessages(); }

// A key pressed and released in the control that has the focus.
inline void PressKey(WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, (1u << 30) | (1u << 31) | 1);
    PumpMessages();
}

// Alt and a letter: the access key of a control.
inline void PressAccessKey(wchar_t letter)
{
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageW(GetFocus(), WM_SYSCHAR, letter, kAltDown | 1);
    PumpMessages();
}

// Handles messages until none has come for a moment: input sent with SendInput arrives a little later.
inline void PumpMessagesUntilQuiet()
{
    for (int quiet = 0, rounds = 0; quiet < 3 && rounds < 200; ++rounds) {
        MSG message;
        const bool any = PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
        PumpMessages();
        quiet = any ? 0 : quiet + 1;
        Sleep(10);
    }
}

// A left click of the real mouse at a point of the screen.
inline void MouseClickAt(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = MulDiv(screen.y, 65535, height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
    PumpMessagesUntilQuiet();
}

// A real click in the middle of a tree node's text. Two clicks on one spot within the double-click time would
// make a double click, so a click waits that long after the one before it.
inline void ClickNode(const ui::TreeView& tree, ui::TreeNode node)
{
    static DWORD lastClick = 0;
    const DWORD since = GetTickCount() - lastClick;
    if (since <= GetDoubleClickTime()) Sleep(GetDoubleClickTime() - since + 50);
    const RECT rect = tree.NodeRect(node);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree.handle(), &centre);
    MouseClickAt(centre);
    lastClick = GetTickCount();
}

inline void Click(const ui::Control& control)
{
    SendMessageW(control.handle(), BM_CLICK, 0, 0);
    PumpMessages();
}

// A control's rectangle in its window's client area, in pixels.
inline RECT ClientRectOf(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Acts once on the first visible window of this thread titled `title`, from a timer that runs inside whatever
// message loop is then running: the way to reach into a modal box while the call that shows it waits.
class ModalDriver {
public:
    ModalDriver(std::wstring title, std::function<void(HWND)> act) : title_(std::move(title)), act_(std::move(act))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &ModalDriver::Tick);
    }
    ~ModalDriver()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool acted() const { return acted_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalDriver* self = current_;
        if (self == nullptr || self->acted_) return;
        EnumThreadWindows(GetCurrentThreadId(), &ModalDriver::Consider, reinterpret_cast<LPARAM>(self));
        // A box that never shows would keep the test waiting: after ten seconds every window of the thread
        // is closed, and the test fails on what it then finds.
        if (!self->acted_ && ++self->ticks_ > 200)
            EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
                return TRUE;
            }, 0);
    }
    static BOOL CALLBACK Consider(HWND hwnd, LPARAM selfParam)
    {
        auto* self = reinterpret_cast<ModalDriver*>(selfParam);
        wchar_t title[256] = {};
        GetWindowTextW(hwnd, title, 256);
        if (!IsWindowVisible(hwnd) || self->title_ != title) return TRUE;
        self->acted_ = true;
        self->act_(hwnd);
        return FALSE;
    }

    static inline ModalDriver* current_ = nullptr;
    std::wstring title_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool acted_ = false;
};

// A drive letter that stands for a folder while it lives, as a drive root of its own. Wine keeps its drive
// letters in its mount manager (as its own configuration tool sets them); Windows takes DefineDosDevice.
class MappedDrive {
public:
    explicit MappedDrive(const std::wstring& folder)
    {
        const DWORD used = GetLogicalDrives();
        for (wchar_t letter = L'Y'; letter >= L'K'; --letter) {
            if (used & (1u << (letter - L'A'))) continue;
            if (Map(letter, folder)) {
                letter_ = letter;
                return;
            }
        }
    }
    ~MappedDrive()
    {
        if (letter_ == 0) return;
        if (UnderWine()) {
            DefineWineDrive(letter_, {});
        } else {
            DefineDosDeviceW(DDD_REMOVE_DEFINITION, Device(letter_).c_str(), nullptr);
        }
    }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    // "X:\", or empty text when no drive could be mapped.
    std::wstring root() const { return letter_ == 0 ? std::wstring() : Device(letter_) + L"\\"; }

private:
    // The request of Wine's mount manager that defines (or, without a folder, removes) a drive letter.
    struct WineDriveRequest {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPoint;  // offset of the folder's Unix path, 0 for none
        USHORT device;
        USHORT label;
    };
    static constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D /* 'm' */, 32, METHOD_BUFFERED,
                                                       FILE_READ_ACCESS | FILE_WRITE_ACCESS);

    static std::wstring Device(wchar_t letter) { return std::wstring(1, letter) + L":"; }
    static bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

    static bool Map(wchar_t letter, const std::wstring& folder)
    {
        if (!UnderWine()) return DefineDosDeviceW(0, Device(letter).c_str(), folder.c_str()) != FALSE;
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (unixName == nullptr) return false;
        char* path = unixName(folder.c_str());
        if (path == nullptr) return false;
        const bool defined = DefineWineDrive(letter, path);
        HeapFree(GetProcessHeap(), 0, path);
        return defined;
    }

    static bool DefineWineDrive(wchar_t letter, const std::string& unixPath)
    {
        std::string request(sizeof(WineDriveRequest) + unixPath.size() + 1, '\0');
        auto* drive = reinterpret_cast<WineDriveRequest*>(request.data());
        drive->size = static_cast<ULONG>(request.size());
        drive->type = unixPath.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
        drive->letter = static_cast<WCHAR>(towlower(letter));
        drive->mountPoint = unixPath.empty() ? 0 : static_cast<USHORT>(sizeof(WineDriveRequest));
        unixPath.copy(request.data() + sizeof(WineDriveRequest), unixPath.size());
        const HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        DWORD returned = 0;
        const BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                          nullptr, 0, &returned, nullptr);
        CloseHandle(manager);
        return done != FALSE;
    }

    wchar_t letter_ = 0;
};

// The real file system, with the program's folder moved to a test's own folder.
class RelocatedFileSystem : public FileSystem {
public:
    RelocatedFileSystem(FileSystem& files, std::wstring executableFolder)
        : files_(files), executableFolder_(std::move(executableFolder))
    {
    }
    std::optional<std::wstring> Lookup(const std::wstring& path, LookupKind kind) const override
    {
        return files_.Lookup(path, kind);
    }
    std::vector<std::wstring> ListSubfolders(const std::wstring& folder) const override
    {
        return files_.ListSubfolders(folder);
    }
    std::optional<std::string> ReadFile(const std::wstring& path) const override { return files_.ReadFile(path); }
    void WriteFileAtomically(const std::wstring& path, std::string_view bytes) override
    {
        files_.WriteFileAtomically(path, bytes);
    }
    std::wstring ExecutableFolder() const override { return executableFolder_; }

private:
    FileSystem& files_;
    std::wstring executableFolder_;
};

// Counts what the windows ask of the program.
struct RecordedProgramActions : ui::ProgramActions {
    int copyWindowRequests = 0;
    int settingsWindowRequests = 0;
    int endRequests = 0;
    void ShowCopyWindow() override { ++copyWindowRequests; }
    void OpenSettingsWindow() override { ++settingsWindowRequests; }
    void EndProgram() override { ++endRequests; }
};

// The copy window as the program makes it, over a temporary program folder, with scripted boxes.
class CopyWindowHarness {
public:
    filetree::TempFolder programFolder;
    Win32FileSystem realFiles;
    RelocatedFileSystem files{realFiles, programFolder.path()};
    Win32TextCodec codec{932};
    ScriptedDialogs dialogs;
    ScriptedShell shell;
    FixedClock clock{{2026, 12, 5}};
    Services services{files, codec, dialogs, shell, clock};
    SettingsStore settings;
    RecordedProgramActions program;
    int& endRequests = program.endRequests;
    std::unique_ptr<ui::frmCopy> window;

    // data.ini beside the program, in code page 932, lines ended by CR LF.
    void WriteSettings(const std::wstring& text)
    {
        filetree::WriteBytes(programFolder.path() + L"\\data.ini", codec.Encode(text));
    }

    ui::frmCopy& Open()
    {
        window = std::make_unique<ui::frmCopy>(settings, services, program);
        window->Show();
        PumpMessages();
        return *window;
    }
};

}  // namespace korvane::testing
