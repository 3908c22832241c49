#include "ui/program/program_windows.h"

#include "ui/controls/message_loop.h"

namespace korvane::ui {

int ProgramWindows::Run()
{
    ShowCopyWindow();
    // The loop looks after every message whether a window is still open, so a window that closes needs to tell
    // nobody; EndProgram's quit message also ends the loops of modal boxes that may be open.
    RunMessageLoop([this] { return AnyWindowOpen(); }, [this] { LetClosedWindowsGo(); });
    LetClosedWindowsGo();
    return 0;
}

template <typename W>
void ProgramWindows::ShowFreshOrOpen(std::unique_ptr<W>& window)
{
    if (Opened(window) != nullptr) {
        window->BringForward();
        return;
    }
    window = std::make_unique<W>(settings_, services_, *this);
    window->Show();
}

void ProgramWindows::ShowCopyWindow() { ShowFreshOrOpen(copyWindow_); }

void ProgramWindows::OpenSettingsWindow()
{
    if (frmCopy* open = copyWindow()) open->Close();
    ShowFreshOrOpen(settingsWindow_);
}

void ProgramWindows::EndProgram()
{
    if (frmCopy* open = copyWindow()) open->Close();
    if (frmSetup* open = settingsWindow()) open->Close();
    PostQuitMessage(0);
}

bool ProgramWindows::AnyWindowOpen() const { return copyWindow() != nullptr || settingsWindow() != nullptr; }

void ProgramWindows::LetClosedWindowsGo()
{
    if (copyWindow_ && !copyWindow_->IsOpen()) copyWindow_.reset();
    if (settingsWindow_ && !settingsWindow_->IsOpen()) settingsWindow_.reset();
}

}  // namespace korvane::ui
