#pragma once
#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_comparer.h"
#include "platform/win32/win32_file_copier.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "ui/dialogs/win32_dialogs.h"
#include "ui/progress/win32_long_work.h"
#include "ui/program/program_windows.h"

namespace korvane {

// The program: the one settings store, the system's services, and its windows.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Shows the copy window and handles messages until no window is open or the program is ended.
    int Run() { return windows_.Run(); }

private:
    SettingsStore settings_;
    Win32FileSystem fileSystem_;
    Win32TextCodec codec_;
    ui::Win32Dialogs dialogs_;
    Win32Shell shell_;
    Win32Clock clock_;
    Win32FileComparer comparer_;
    Win32FileCopier copier_;
    ui::Win32LongWork longWork_;
    Services services_;
    ui::ProgramWindows windows_;
};

}  // namespace korvane
