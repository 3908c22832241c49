#pragma once

namespace korvane::ui {

// What the program's windows may ask of the program as a whole.
class ProgramActions {
public:
    virtual ~ProgramActions() = default;
    // Shows the copy window: created afresh, reading the settings file, when it is closed; otherwise only
    // brought forward.
    virtual void ShowCopyWindow() = 0;
    // Closes the copy window and opens the settings window.
    virtual void OpenSettingsWindow() = 0;
    // Ends the program at once: every window goes, nothing is asked or saved.
    virtual void EndProgram() = 0;
};

}  // namespace korvane::ui
