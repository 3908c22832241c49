#pragma once
#include <memory>

#include "core/services.h"
#include "core/settings_store.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "ui/copy/frm_copy.h"
#include "ui/dialogs/win32_dialogs.h"

namespace korvane {

// The program: the one settings store, the system's services, and its windows. It runs as long as one of
// its windows is open. A closed window is let go once the event that closed it is over; showing it again
// creates it afresh.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Shows the copy window and handles messages until no window is open or the program is ended.
    int Run();

private:
    void ShowCopyWindow();
    // Ends the program at once: every window goes, nothing is asked.
    void EndProgram();
    void OnWindowClosed();
    bool AnyWindowOpen() const;
    void LetClosedWindowsGo();

    SettingsStore settings_;
    Win32FileSystem fileSystem_;
    Win32TextCodec codec_;
    ui::Win32Dialogs dialogs_;
    Win32Shell shell_;
    Win32Clock clock_;
    Services services_;
    std::unique_ptr<ui::frmCopy> copyWindow_;
};

}  // namespace korvane
