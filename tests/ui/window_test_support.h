#pragma once
// What the window tests share: a message pump, keys and clicks sent as real messages, a driver that acts on a
// modal box from inside its own message loop, and the copy window over a temporary folder.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "ui/controls/combo_box.h"
#include "ui/controls/list_view.h"
#include "support/scripted_verification.h"
#include "ui/controls/message_loop.h"
#include "ui/controls/tree_view.h"
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

// What a user sees of the controls, read with the controls' own messages.
inline bool IsShown(const ui::Control& control)
{
    return (GetWindowLongW(control.handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

inline std::vector<std::wstring> ItemsOf(const ui::ComboBox& list)
{
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(list.handle(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list.handle(), CB_GETLBTEXTLEN, i, 0)), L'\0');
        SendMessageW(list.handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(text);
    }
    return items;
}

inline bool IsDroppedDown(const ui::ComboBox& list)
{
    return SendMessageW(list.handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

// The children of `parent` in their order (nullptr: the root level).
inline std::vector<ui::TreeNode> Children(const ui::TreeView& tree, ui::TreeNode parent)
{
    std::vector<ui::TreeNode> children;
    ui::TreeNode child = parent != nullptr ? TreeView_GetChild(tree.handle(), parent) : TreeView_GetRoot(tree.handle());
    for (; child != nullptr; child = TreeView_GetNextSibling(tree.handle(), child)) children.push_back(child);
    return children;
}

inline bool IsExpanded(const ui::TreeView& tree, ui::TreeNode node)
{
    return (TreeView_GetItemState(tree.handle(), node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

inline ui::TreeNode SelectedNode(const ui::TreeView& tree) { return TreeView_GetSelection(tree.handle()); }

// Where the node's picture and text are drawn, in the tree's client coordinates.
inline RECT NodeRect(const ui::TreeView& tree, ui::TreeNode node)
{
    RECT rect{};
    TreeView_GetItemRect(tree.handle(), node, &rect, TRUE);
    return rect;
}

// Where the item's label is drawn, in the list's client coordinates.
inline RECT LabelRect(const ui::ListView& list, std::size_t index)
{
    RECT rect{};
    ListView_GetItemRect(list.handle(), static_cast<int>(index), &rect, LVIR_LABEL);
    return rect;
}

// One left click of the real mouse at a point of the screen, or a double click with `clicks` 2.
inline void MouseClickAt(POINT screen, int clicks = 1)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(1 + 2 * static_cast<std::size_t>(clicks));
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = MulDiv(screen.x, 65535, width - 1);
        inputs[i].mi.dy = MulDiv(screen.y, 65535, height - 1);
        inputs[i].mi.dwFlags = MOUSEEVENTF_ABSOLUTE |
                               (i == 0 ? MOUSEEVENTF_MOVE : i % 2 == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpMessagesUntilQuiet();
}

// A real click at a point of a tree. Two clicks on one spot within the double-click time would make a double
// click, so a click waits that long after the one before it.
inline void ClickTreeAt(const ui::TreeView& tree, POINT client, int clicks = 1)
{
    static DWORD lastClick = 0;
    const DWORD since = GetTickCount() - lastClick;
    if (since <= GetDoubleClickTime()) Sleep(GetDoubleClickTime() - since + 50);
    ClientToScreen(tree.handle(), &client);
    MouseClickAt(client, clicks);
    lastClick = GetTickCount();
}

// A real click (or double click) in the middle of a tree node's text.
inline void ClickNode(const ui::TreeView& tree, ui::TreeNode node, int clicks = 1)
{
    const RECT rect = NodeRect(tree, node);
    ClickTreeAt(tree, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, clicks);
}

// A real click on a node's expand button, found by the tree's own hit test left of the node's text.
inline bool ClickExpandButton(const ui::TreeView& tree, ui::TreeNode node)
{
    const RECT rect = NodeRect(tree, node);
    for (int x = 0; x < rect.left; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, (rect.top + rect.bottom) / 2};
        if (TreeView_HitTest(tree.handle(), &hit) == node && (hit.flags & TVHT_ONITEMBUTTON)) {
            ClickTreeAt(tree, hit.pt);
            return true;
        }
    }
    return false;
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

inline RECT ClientRectOf(const ui::Control& control) { return ClientRectOf(control.handle()); }

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
        if (listingFailure) throw *listingFailure;
        return files_.ListSubfolders(folder);
    }
    TreeListing ListTree(const std::wstring& folder, std::stop_token stop) const override
    {
        return files_.ListTree(folder, stop);
    }
    std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) const override
    {
        return files_.IdentityOf(folder);
    }
    std::optional<std::string> ReadFile(const std::wstring& path) const override { return files_.ReadFile(path); }
    void WriteFileAtomically(const std::wstring& path, std::string_view bytes) override
    {
        files_.WriteFileAtomically(path, bytes);
    }
    void CreateFolder(const std::wstring& path) override { files_.CreateFolder(path); }
    std::uint64_t FreeBytes(const std::wstring& folder) const override { return files_.FreeBytes(folder); }
    std::optional<std::wstring> VolumeOf(const std::wstring& path) const override { return files_.VolumeOf(path); }
    std::wstring ExecutableFolder() const override { return executableFolder_; }

    std::optional<Failure> listingFailure;  // when set, every listing throws it

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
// The program's services over a temporary program folder (with its data.ini), with scripted boxes.
struct ProgramFolderServices {
    filetree::TempFolder programFolder;
    Win32FileSystem realFiles;
    RelocatedFileSystem files{realFiles, programFolder.path()};
    Win32TextCodec codec{932};
    ScriptedDialogs dialogs;
    ScriptedShell shell;
    FixedClock clock{{2026, 12, 5}};
    ContentComparer comparer{files};
    ContentCopier copier{files};
    InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, copier, longWork};
    SettingsStore settings;

    std::wstring DataIni() const { return programFolder.path() + L"\\data.ini"; }
    // data.ini beside the program, in code page 932, lines ended by CR LF.
    void WriteSettings(const std::wstring& text) { filetree::WriteBytes(DataIni(), codec.Encode(text)); }
    std::string SettingsBytes() const { return filetree::ReadBytes(DataIni()); }
    std::wstring SettingsText() const { return codec.Decode(SettingsBytes()); }
};

// The copy window alone, as the program makes it.
class CopyWindowHarness : public ProgramFolderServices {
public:
    RecordedProgramActions program;
    int& endRequests = program.endRequests;
    std::unique_ptr<ui::frmCopy> window;

    ui::frmCopy& Open()
    {
        window = std::make_unique<ui::frmCopy>(settings, services, program);
        window->Show();
        PumpMessages();
        return *window;
    }
};

}  // namespace korvane::testing
