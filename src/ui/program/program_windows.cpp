#include "ui/program/program_windows.h"

#include "ui/controls/message_loop.h"

namespace korvane::ui {

int ProgramWindows::Run()
{
    ShowCopyWindow();
    RunMessageLoop([this] { return AnyWindowOpen(); }, [this] { LetClosedWindowsGo(); });
    LetClosedWindowsGo();
    return 0;
}

void ProgramWindows::ShowCopyWindow()
{
    if (frmCopy* open = copyWindow()) {
        open->BringForward();
        return;
    }
    copyWindow_ = std::make_unique<frmCopy>(settings_, services_, *this);
    WatchClosing(*copyWindow_);
    copyWindow_->Show();
}

void ProgramWindows::OpenSettingsWindow()
{
    if (frmCopy* open = copyWindow()) open->Close();
}

void ProgramWindows::EndProgram()
{
    if (frmCopy* open = copyWindow()) open->Close();
    PostQuitMessage(0);
}

bool ProgramWindows::AnyWindowOpen() const { return copyWindow() != nullptr; }

void ProgramWindows::WatchClosing(Window& window)
{
    window.onClosed = [this] {
        if (!AnyWindowOpen()) PostQuitMessage(0);
    };
}

void ProgramWindows::LetClosedWindowsGo()
{
    if (copyWindow_ && !copyWindow_->IsOpen()) copyWindow_.reset();
}

}  // namespace korvane::ui
