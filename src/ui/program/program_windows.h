#pragma once
#include <memory>

#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "ui/copy/frm_copy.h"
#include "ui/program_actions.h"
#include "ui/setup/frm_setup.h"

namespace korvane::ui {

// The program's windows and the rule of its life: it runs while any of its windows is open and ends when the
// last one closes. A closed window is let go once the message that closed it has been handled; showing it again
// creates it afresh. The password dialog is no window of the program's own: it lives inside the copy window's
// settings button.
class ProgramWindows : public ProgramActions {
public:
    ProgramWindows(SettingsStore& settings, Services& services) : settings_(settings), services_(services) {}
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // Shows the copy window and handles messages until no window is open or the program is ended.
    int Run();

    void ShowCopyWindow() override;
    void OpenSettingsWindow() override;
    void EndProgram() override;

    bool AnyWindowOpen() const;
    // The open copy window, or nullptr.
    frmCopy* copyWindow() const { return Opened(copyWindow_); }
    // The open settings window, or nullptr.
    frmSetup* settingsWindow() const { return Opened(settingsWindow_); }

private:
    template <typename W>
    static W* Opened(const std::unique_ptr<W>& window)
    {
        return window && window->IsOpen() ? window.get() : nullptr;
    }
    // Brings an open window forward, or creates it afresh and shows it.
    template <typename W>
    void ShowFreshOrOpen(std::unique_ptr<W>& window);
    void LetClosedWindowsGo();

    SettingsStore& settings_;
    Services& services_;
    std::unique_ptr<frmCopy> copyWindow_;
    std::unique_ptr<frmSetup> settingsWindow_;
};

}  // namespace korvane::ui
