#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/card_arrival/card_arrival.h"
#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "ui/controls/buttons.h"
#include "ui/controls/combo_box.h"
#include "ui/controls/image_list.h"
#include "ui/controls/static_controls.h"
#include "ui/controls/text_box.h"
#include "ui/controls/tree_view.h"
#include "ui/controls/window.h"
#include "ui/program_actions.h"

namespace korvane::ui {

// The copy window, the program's start-up and main window: the user picks a source folder (a registered slot
// or any folder) and a destination (a registered folder or a folder below it) for a copy.
class frmCopy : public Window {
public:
    // Creates the window hidden and loads it: the settings file, when there is one, is read into `settings`,
    // and the controls are filled from it. `program` opens the settings window and ends the program.
    frmCopy(SettingsStore& settings, Services& services, ProgramActions& program);

    // The controls, declared in tab order, which is the order in which they are created. The frames and the
    // shadows behind them take no focus; they come last so that they lie beneath the controls they hold.
    std::array<OptionButton, SettingsStore::kSlotCount> optSource;
    ComboBox cboList;
    TreeView treDir;
    GraphicalButton cmdSetup;
    GraphicalButton cmdStart;
    GraphicalButton cmdQuit;
    GraphicalButton cmdInfo;
    TextBox txtDir;
    TextBox txtSource;
    Button cmdSelect;
    Frame Frame1;                  // the frame of the source choice: the options, txtSource and cmdSelect
    Frame Frame2;                  // the frame of the destination choice: cboList, treDir and txtDir
    std::array<Label, 2> lblBack;  // the black drop shadows behind Frame1 and Frame2
    ImageList ImageList1;          // the pictures of treDir's nodes: a closed folder and an open one

protected:
    void OnLayout(unsigned dpi) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // What the destination list holds: the registered destinations (Normal), or only the item for picking a
    // folder, while it is being put in (Setting) and once it is there (Select).
    enum class ListMode { Normal, Setting, Select };

    void Load();
    void RefreshCopyWindow();
    void optSource_Click(std::size_t index);
    void cmdSelect_Click();
    void cboList_DropDown();
    void cboList_SelectionChange();
    void treDir_NodeClick(TreeNode node);
    // Adds a node for every folder name under `parent` (nullptr: the root level), sorted by name.
    void AddFolderNodes(TreeNode parent, std::vector<std::wstring> names);
    void cmdStart_Click();
    void cmdSetup_Click();
    void cmdInfo_Click();
    // A volume arrived or went (WM_DEVICECHANGE): with Options::selectArrivedCard, a card in the reader of one
    // registered slot chooses that slot.
    void OnDeviceChange(WPARAM event, LPARAM data);

    SettingsStore& settings_;
    Services& services_;
    ProgramActions& program_;
    ListMode listMode_ = ListMode::Normal;
    DriveArrivals arrivals_;
    bool copyRunning_ = false;  // while the start button's run goes on, cards that arrive are not acted on
};

}  // namespace korvane::ui
