#pragma once
#include "core/settings/settings_store.h"
#include "platform/dialogs.h"
#include "ui/controls/buttons.h"
#include "ui/controls/text_box.h"
#include "ui/controls/window.h"
#include "ui/program_actions.h"

namespace korvane::ui {

// The gate in front of the settings window: asks for the password and, when it is the stored one, closes and has
// the program open the settings window. A wrong one is refused with a message, as often as it is typed.
class frmPassword : public Window {
public:
    // Creates the dialog hidden, owned by `owner`, with an empty password box.
    frmPassword(const SettingsStore& settings, Dialogs& dialogs, ProgramActions& program, HWND owner);

    PasswordBox txtPassword;
    Button cmdOK;
    Button cmdCancel;

private:
    void cmdOK_Click();

    const SettingsStore& settings_;
    Dialogs& dialogs_;
    ProgramActions& program_;
};

}  // namespace korvane::ui
