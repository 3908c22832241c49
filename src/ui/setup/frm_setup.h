#pragma once
#include <array>
#include <string>
#include <utility>

#include "core/settings/destination_list_editor.h"
#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "ui/controls/buttons.h"
#include "ui/controls/image_list.h"
#include "ui/controls/list_view.h"
#include "ui/controls/static_controls.h"
#include "ui/controls/text_box.h"
#include "ui/controls/window.h"
#include "ui/program_actions.h"

namespace korvane::ui {

// The settings window: the user edits a working copy of the settings (the three source sources, the destination
// list, the password and the options) that lives in the window alone, until OK saves it to the settings file or Cancel drops
// it; either brings the copy window back. It can also export the working copy to a file and import one.
class frmSetup : public Window {
public:
    // Creates the window hidden and fills it from `settings`.
    frmSetup(const SettingsStore& settings, Services& services, ProgramActions& program);

    std::array<CheckBox, SettingsStore::kSlotCount> chkSource;
    std::array<TextBox, SettingsStore::kSlotCount> txtName;
    std::array<TextBox, SettingsStore::kSlotCount> txtSource;
    std::array<Button, SettingsStore::kSlotCount> cmdSource;
    GraphicalButton cmdAdd;
    GraphicalButton cmdDelete;
    ListView lstDir;
    Label lblName;
    TextBox txtListName;
    Label lblDir;
    TextBox txtListDir;
    Button cmdDir;
    GraphicalButton cmdImport;
    GraphicalButton cmdOK;
    GraphicalButton cmdCancel;
    Frame Frame1;                  // the frame of the three source rows
    Frame Frame2;                  // the frame of the destination list and its two boxes
    std::array<Label, 2> lblBack;  // the black drop shadows behind Frame1 and Frame2
    GraphicalButton cmdExport;
    Label Label1;                  // the caption of txtPassword
    PasswordBox txtPassword;
    Label lblBackup;         // the caption of txtBackup
    TextBox txtBackup;       // Options::backupFolder
    Button cmdBackup;        // picks txtBackup's folder
    CheckBox chkVerify;      // Options::verify
    CheckBox chkSkipCopied;  // Options::skipCopied
    CheckBox chkSelectArrivedCard;  // Options::selectArrivedCard
    CheckBox chkReadCardOnce;       // Options::readCardOnce
    ImageList ImageList1;    // the folder picture of lstDir's items

    // The destination list behind lstDir and the two boxes below it. For the window's tests and benchmark: the
    // folder of an item that is not selected is shown nowhere they could read it.
    const DestinationListEditor& destinations() const { return destinations_; }

protected:
    void OnLayout(unsigned dpi) override;

private:
    // Each option's check box.
    static constexpr std::array<std::pair<CheckBox frmSetup::*, bool Options::*>, 4> kOptionBoxes{{
        {&frmSetup::chkVerify, &Options::verify},
        {&frmSetup::chkSkipCopied, &Options::skipCopied},
        {&frmSetup::chkSelectArrivedCard, &Options::selectArrivedCard},
        {&frmSetup::chkReadCardOnce, &Options::readCardOnce},
    }};

    void ShowSettings(const SettingsStore& settings);
    SettingsStore WorkingCopy() const;
    void chkSource_Click(std::size_t index);
    void cmdSource_Click(std::size_t index);
    // Shows in lstDir and the two boxes what an edit of the destination list changed.
    void ShowDestinationEdit();
    void txtListName_Change();
    void txtListDir_Change();
    void cmdDir_Click();
    // Fills `box` with the folder the user picks, starting at the box's folder; a cancelled pick keeps it.
    void PickFolderInto(TextBox& box);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdImport_Click();

    Services& services_;
    ProgramActions& program_;
    DestinationListEditor destinations_;
};

}  // namespace korvane::ui
