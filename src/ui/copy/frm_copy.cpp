#include "ui/copy/frm_copy.h"

#include "core/copy_run.h"
#include "core/copy_window_texts.h"
#include "core/destination_tree.h"
#include "core/select_folder.h"
#include "core/settings_loader.h"
#include "core/settings_window.h"
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
    return OptionButton(window, L"*", Inside(kSourceFrame, {360, 240 + 240 * row, 3372, 252}), kFrameColour);
}

}  // namespace

frmCopy::frmCopy(SettingsStore& settings, Services& services, ProgramActions& program)
    : Window({.caption = L"Korvane",
              .clientSize = {4395, 5595},
              .backColour = kWindowColour,
              .iconResource = IDI_KORVANE}),
      optSource{SourceOption(*this, 0), SourceOption(*this, 1), SourceOption(*this, 2)},
      cboList(*this, Inside(kDestinationFrame, {120, 240, 2892, 276})),
      treDir(*this, Inside(kDestinationFrame, {120, 600, 3732, 1572})),
      cmdSetup(*this, L"設定(&I)", {120, 4800, 852, 372}, kButtonColour),
      cmdStart(*this, L"開始(&S)", {1920, 4800, 1092, 372}, kButtonColour),
      cmdQuit(*this, L"終了(&X)", {3120, 4800, 1092, 372}, kButtonColour),
      cmdInfo(*this, L"作者からのメッセージ", {480, 5280, 3492, 252}, kWindowColour),
      txtDir(*this, Inside(kDestinationFrame, {120, 2280, 3732, 264}), kFrameColour),
      txtSource(*this, Inside(kSourceFrame, {240, 1080, 3252, 264})),
      cmdSelect(*this, L"...", Inside(kSourceFrame, {3480, 1080, 252, 252})),
      Frame1(*this, L"コピー元", kSourceFrame, kFrameColour),
      Frame2(*this, L"保存先", kDestinationFrame, kFrameColour),
      lblBack{Label(*this, L"", {156, 120, 4104, 1500}, kShadowColour),
              Label(*this, L"", {156, 1920, 4104, 2700}, kShadowColour)},
      ImageList1(16, {{L"close", IDI_FOLDER_CLOSED}, {L"open", IDI_FOLDER_OPEN}}),
      settings_(settings),
      services_(services),
      program_(program)
{
    for (std::size_t i = 0; i < optSource.size(); ++i) optSource[i].onClick = [this, i] { optSource_Click(i); };
    cmdSelect.onClick = [this] { cmdSelect_Click(); };
    cboList.onDropDown = [this] { cboList_DropDown(); };
    cboList.onClick = [this] { cboList_Click(); };
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
    treDir.SetImageList(nullptr);
    ImageList1.ScaleTo(dpi);
    treDir.SetImageList(ImageList1.handle());
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
        [&] {
            for (std::size_t i = 0; i < optSource.size(); ++i) {
                const SourceSlot& slot = settings_.sources[i];
                optSource[i].SetVisible(slot.registered);
                if (!slot.registered) continue;
                optSource[i].SetCaption(slot.name);
                anySlotRegistered = true;
            }
        },
        [&] {
            if (anySlotRegistered) return;
            for (OptionButton& option : optSource) {
                option.SetChecked(false);
                option.SetVisible(false);
            }
            optSource[0].SetVisible(true);
            optSource[0].SetEnabled(false);
            optSource[0].SetCaption(copy_window_texts::kUnregisteredSource);
        },
        [&] { cboList.Clear(); },
        [&] {
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
        },
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

void frmCopy::cboList_Click()
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
    const RedrawPause pause(treDir);
    for (const std::wstring& name : names) treDir.AddNode(parent, name, closed, open);
}

// The run reads both boxes once, now: what is typed while its boxes are open does not change it.
void frmCopy::cmdStart_Click()
{
    RunCopy(services_, handle(), txtDir.Text(), txtSource.Text(), settings_.options);
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
