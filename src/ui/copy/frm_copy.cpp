#include "ui/copy/frm_copy.h"

#include <dbt.h>

#include "core/copy/copy_run.h"
#include "core/copy/copy_window_texts.h"
#include "core/copy/destination_tree.h"
#include "core/copy/select_folder.h"
#include "core/settings/settings_loader.h"
#include "core/settings/settings_commands.h"
#include "resource.h"
#include "ui/attempt_each.h"
#include "ui/controls/unexpected_failure.h"
#include "ui/password/frm_password.h"

namespace korvane::ui {

namespace {

constexpr COLORREF kWindowColour = 0x00C0FFFF;
constexpr COLORREF kFrameColour = 0x00C0FFC0;
constexpr COLORREF kButtonColour = 0x00C0E0FF;
constexpr COLORREF kShadowColour = 0x00000000;

constexpr TwipsRect kSourceFrame{120, 120, 4092, 1452};
constexpr TwipsRect kDestinationFrame{120, 1920, 4092, 2652};

OptionButton SourceOption(Window& window, int row)
{
    return OptionButton(window, {.caption = L"*",
                                 .place = Inside(kSourceFrame, {360, 240 + 240 * row, 3372, 252}),
                                 .backColour = kFrameColour});
}

}  // namespace

frmCopy::frmCopy(SettingsStore& settings, Services& services, ProgramActions& program)
    : Window({.caption = L"Korvane",
              .clientSize = {4395, 5595},
              .backColour = kWindowColour,
              .iconResource = IDI_KORVANE}),
      optSource{SourceOption(*this, 0), SourceOption(*this, 1), SourceOption(*this, 2)},
      cboList(*this, {.place = Inside(kDestinationFrame, {120, 240, 2892, 276})}),
      treDir(*this, {.place = Inside(kDestinationFrame, {120, 600, 3732, 1572})}),
      cmdSetup(*this, {.caption = L"設定(&I)", .place = {120, 4800, 852, 372}, .backColour = kButtonColour}),
      cmdStart(*this, {.caption = L"開始(&S)", .place = {1920, 4800, 1092, 372}, .backColour = kButtonColour}),
      cmdQuit(*this, {.caption = L"終了(&X)", .place = {3120, 4800, 1092, 372}, .backColour = kButtonColour}),
      cmdInfo(*this, {.caption = L"作者からのメッセージ", .place = {480, 5280, 3492, 252}, .backColour = kWindowColour}),
      txtDir(*this, {.place = Inside(kDestinationFrame, {120, 2280, 3732, 264}), .backColour = kFrameColour}),
      txtSource(*this, {.place = Inside(kSourceFrame, {240, 1080, 3252, 264})}),
      cmdSelect(*this, {.caption = L"...", .place = Inside(kSourceFrame, {3480, 1080, 252, 252})}),
      Frame1(*this, {.caption = L"コピー元", .place = kSourceFrame, .backColour = kFrameColour}),
      Frame2(*this, {.caption = L"保存先", .place = kDestinationFrame, .backColour = kFrameColour}),
      lblBack{Label(*this, {.place = {156, 120, 4104, 1500}, .backColour = kShadowColour}),
              Label(*this, {.place = {156, 1920, 4104, 2700}, .backColour = kShadowColour})},
      ImageList1(16, {{L"close", IDI_FOLDER_CLOSED}, {L"open", IDI_FOLDER_OPEN}}),
      settings_(settings),
      services_(services),
      program_(program)
{
    for (std::size_t i = 0; i < optSource.size(); ++i) optSource[i].onClick = [this, i] { optSource_Click(i); };
    cmdSelect.onClick = [this] { cmdSelect_Click(); };
    cboList.onDropDown = [this] { cboList_DropDown(); };
    cboList.onSelectionChange = [this] { cboList_SelectionChange(); };
    treDir.onNodeClick = [this](TreeNode node) { treDir_NodeClick(node); };
    cmdStart.onClick = [this] { cmdStart_Click(); };
    cmdInfo.onClick = [this] { cmdInfo_Click(); };
    cmdSetup.onClick = [this] { cmdSetup_Click(); };
    cmdQuit.onClick = [this] { program_.EndProgram(); };
    SetCancelButton(cmdQuit);

    LayOut();
    CenterOnScreen();
    Load();
}

void frmCopy::OnLayout(unsigned dpi)
{
    ImageList1.ScaleFor(treDir, dpi);
}

void frmCopy::Load()
{
    // Whatever goes wrong while the window is filled, the window still opens, with what it could show.
    try {
        LoadSettings(settings_, services_);
        RefreshCopyWindow();
    } catch (...) {
        ReportUnexpectedFailure(handle(), std::current_exception());
    }
}

void frmCopy::RefreshCopyWindow()
{
    bool anySlotRegistered = false;
    AttemptEach({
        {L"the source buttons", [&] {
            for (std::size_t i = 0; i < optSource.size(); ++i) {
                const SourceSlot& slot = settings_.sources[i];
                optSource[i].SetVisible(slot.registered);
                if (!slot.registered) continue;
                optSource[i].SetCaption(slot.name);
                anySlotRegistered = true;
            }
        }},
        {L"the unregistered source button", [&] {
            if (anySlotRegistered) return;
            for (OptionButton& option : optSource) {
                option.SetChecked(false);
                option.SetVisible(false);
            }
            optSource[0].SetVisible(true);
            optSource[0].SetEnabled(false);
            optSource[0].SetCaption(copy_window_texts::kUnregisteredSource);
        }},
        {L"emptying the destination list", [&] { cboList.Clear(); }},
        {L"filling the destination list", [&] {
            if (!settings_.destinations.empty()) {
                cboList.AddItems(settings_.destinations.size(), [this](std::size_t i) -> const std::wstring& {
                    return settings_.destinations[i].name;
                });
                cboList.SetSelectedIndex(0);
            } else {
                // The list's reaction to the choice must already see "Setting", and "Select" only after it.
                listMode_ = ListMode::Setting;
                cboList.AddItem(copy_window_texts::kPickFolderItem);
                cboList.SetSelectedIndex(0);
                listMode_ = ListMode::Select;
            }
        }},
    });
}

void frmCopy::optSource_Click(std::size_t index) { txtSource.SetText(settings_.sources[index].path); }

void frmCopy::cmdSelect_Click()
{
    const std::wstring picked = SelectFolder(services_.dialogs, handle(), txtSource.Text());
    if (!picked.empty()) txtSource.SetText(picked);
    for (OptionButton& option : optSource) option.SetChecked(false);
}

void frmCopy::cboList_DropDown()
{
    if (listMode_ != ListMode::Select) return;
    const std::wstring picked = SelectFolder(services_.dialogs, handle(), txtDir.Text());
    if (!picked.empty()) txtDir.SetText(picked);
    // The list holds only the item for picking a folder: it never stays open.
    cboList.CloseDropDownSoon();
}

void frmCopy::cboList_SelectionChange()
{
    if (listMode_ == ListMode::Setting) return;
    std::wstring folder;
    try {
        treDir.Clear();
        // In the list's "Select" mode there is no destination at the selected position: nothing to show.
        const std::size_t index = static_cast<std::size_t>(cboList.SelectedIndex());
        if (index >= settings_.destinations.size()) return;
        folder = destination_tree::ListedFolder(settings_.destinations[index].path);
        AddFolderNodes(nullptr, services_.fileSystem.ListSubfolders(folder));
        txtDir.SetText(folder);
    } catch (const Failure& failure) {
        // txtDir keeps the folder it showed.
        if (auto message = destination_tree::ListChoiceFailureMessage(folder, failure))
            services_.dialogs.ShowMessage(*message);
    }
}

void frmCopy::treDir_NodeClick(TreeNode node)
{
    const std::wstring folder = destination_tree::NodeFolder(
        settings_.destinations.at(static_cast<std::size_t>(cboList.SelectedIndex())).path, treDir.FullPath(node));
    if (!treDir.HasChildren(node)) {
        try {
            AddFolderNodes(node, services_.fileSystem.ListSubfolders(folder));
        } catch (const Failure& failure) {
            // The folder went away or cannot be read since the tree was built: say so, and leave txtDir and
            // the tree as they were.
            services_.dialogs.ShowMessage(destination_tree::NodeClickFailureMessage(folder, failure));
            return;
        }
        treDir.Expand(node);
    }
    txtDir.SetText(folder);
}

void frmCopy::AddFolderNodes(TreeNode parent, std::vector<std::wstring> names)
{
    const int closed = ImageList1.IndexOf(L"close");
    const int open = ImageList1.IndexOf(L"open");
    // The root level is sorted like every other level, so that the tree reads the same at every depth.
    SortAsTreeSorts(names);
    const auto pause = PauseRedraw(treDir);
    for (const std::wstring& name : names) treDir.AddNode(parent, name, closed, open);
}

// The run reads both boxes once, now: what is typed while its boxes are open does not change it.
void frmCopy::cmdStart_Click()
{
    copyRunning_ = true;
    const ScopeExit runEnded([this] { copyRunning_ = false; });
    RunCopy(services_, handle(), txtDir.Text(), txtSource.Text(), settings_.options);
}

LRESULT frmCopy::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE) OnDeviceChange(wParam, lParam);
    return Window::HandleMessage(message, wParam, lParam);
}

void frmCopy::OnDeviceChange(WPARAM event, LPARAM data)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!settings_.options.selectArrivedCard || header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return;
    const DriveMask drives = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data)->dbcv_unitmask;
    // A removal counts also during a run (its completion box may stay open long): the next card is then new.
    if (event == DBT_DEVICEREMOVECOMPLETE) arrivals_.Remove(drives);
    if (event != DBT_DEVICEARRIVAL || copyRunning_) return;
    const DriveMask arrived = arrivals_.Arrive(drives);
    if (arrived == 0) return;
    const auto slot = SlotOnArrivedDrives(settings_, arrived, services_.fileSystem);
    if (!slot) return;
    // Chosen as a click chooses it, also when it was chosen already: the source box shows its folder again.
    if (optSource[*slot].IsChecked()) {
        optSource_Click(*slot);
    } else {
        optSource[*slot].SetChecked(true);
    }
    // Noticed without taking the focus from another program: the task bar button flashes until the user comes.
    FLASHWINFO flash{sizeof(flash), handle(), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void frmCopy::cmdSetup_Click()
{
    if (!PasswordIsSet(settings_)) {
        program_.OpenSettingsWindow();
        return;
    }
    frmPassword dialog(settings_, services_.dialogs, program_, handle());
    dialog.ShowModal();
}

void frmCopy::cmdInfo_Click()
{
    const MessageAnswer answer = services_.dialogs.ShowMessage(copy_window_texts::AuthorQuestion());
    services_.dialogs.ShowMessage(copy_window_texts::AuthorReply(answer));
}

}  // namespace korvane::ui
