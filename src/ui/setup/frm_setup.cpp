#include "ui/setup/frm_setup.h"

#include "core/copy/select_folder.h"
#include "core/settings/settings_commands.h"
#include "resource.h"
#include "ui/attempt_each.h"

namespace korvane::ui {

namespace {

constexpr COLORREF kWindowColour = RGB(192, 255, 192);
constexpr COLORREF kListButtonColour = RGB(204, 255, 204);
constexpr COLORREF kBottomButtonColour = RGB(255, 255, 192);
constexpr COLORREF kShadowColour = RGB(0, 0, 0);

constexpr TwipsRect kSourceFrame{120, 120, 5172, 1452};
constexpr TwipsRect kDestinationFrame{120, 1680, 5172, 2292};

// The frames keep the system's colour for panels, and what stands in them stands on that colour.
COLORREF FrameColour() { return GetSysColor(COLOR_BTNFACE); }

int SlotTop(int slot) { return 240 + 360 * slot; }

CheckBox SlotCheckBox(Window& window, int slot)
{
    return CheckBox(window,
                    {.place = Inside(kSourceFrame, {120, SlotTop(slot), 252, 252}), .backColour = FrameColour()});
}
TextBox SlotNameBox(Window& window, int slot)
{
    return TextBox(window, {.place = Inside(kSourceFrame, {360, SlotTop(slot), 1452, 264})});
}
TextBox SlotPathBox(Window& window, int slot)
{
    return TextBox(window, {.place = Inside(kSourceFrame, {1920, SlotTop(slot), 2772, 264})});
}
Button SlotPickButton(Window& window, int slot)
{
    return Button(window, {.caption = L"...", .place = Inside(kSourceFrame, {4680, SlotTop(slot), 252, 252})});
}

}  // namespace

frmSetup::frmSetup(const SettingsStore& settings, Services& services, ProgramActions& program)
    : Window({.caption = L"セットアップ - Korvane",
              .clientSize = {5580, 6690},
              .backColour = kWindowColour,
              .iconResource = IDI_KORVANE}),
      chkSource{SlotCheckBox(*this, 0), SlotCheckBox(*this, 1), SlotCheckBox(*this, 2)},
      txtName{SlotNameBox(*this, 0), SlotNameBox(*this, 1), SlotNameBox(*this, 2)},
      txtSource{SlotPathBox(*this, 0), SlotPathBox(*this, 1), SlotPathBox(*this, 2)},
      cmdSource{SlotPickButton(*this, 0), SlotPickButton(*this, 1), SlotPickButton(*this, 2)},
      cmdAdd(*this, {.caption = L"追加(&A)",
                     .place = Inside(kDestinationFrame, {120, 360, 852, 372}),
                     .backColour = kListButtonColour}),
      cmdDelete(*this, {.caption = L"削除(&D)",
                        .place = Inside(kDestinationFrame, {120, 840, 852, 372}),
                        .backColour = kListButtonColour}),
      lstDir(*this, {.place = Inside(kDestinationFrame, {1080, 360, 3852, 852})}),
      lblName(*this,
              {.caption = L"項目名(&N)：",
               .place = Inside(kDestinationFrame, {240, 1440, 1692, 252}),
               .backColour = FrameColour()},
              Label::Wrap::None),
      txtListName(*this, {.place = Inside(kDestinationFrame, {1920, 1440, 2892, 264})}),
      lblDir(*this,
             {.caption = L"登録するフォルダ(&D)：",
              .place = Inside(kDestinationFrame, {240, 1800, 1692, 252}),
              .backColour = FrameColour()},
             Label::Wrap::None),
      txtListDir(*this, {.place = Inside(kDestinationFrame, {1920, 1800, 2652, 264})}),
      cmdDir(*this, {.caption = L"...", .place = Inside(kDestinationFrame, {4560, 1800, 252, 252})}),
      cmdImport(*this, {.caption = L"外部読込", .place = {120, 6255, 1092, 372}, .backColour = kBottomButtonColour}),
      cmdOK(*this, {.caption = L"OK", .place = {3120, 6255, 1092, 372}, .backColour = kBottomButtonColour}),
      cmdCancel(*this, {.caption = L"キャンセル", .place = {4320, 6255, 1092, 372}, .backColour = kBottomButtonColour}),
      Frame1(*this, {.caption = L"コピー元", .place = kSourceFrame, .backColour = FrameColour()}),
      Frame2(*this, {.caption = L"保存先", .place = kDestinationFrame, .backColour = FrameColour()}),
      lblBack{Label(*this, {.place = {156, 240, 5196, 1380}, .backColour = kShadowColour}),
              Label(*this, {.place = {156, 1764, 5196, 2268}, .backColour = kShadowColour})},
      cmdExport(*this, {.caption = L"外部保存", .place = {1320, 6255, 1092, 372}, .backColour = kBottomButtonColour}),
      Label1(*this, {.caption = L"設定者用パスワード：", .place = {240, 4200, 2295, 255}}, Label::Wrap::None),
      txtPassword(*this, {.place = {2640, 4200, 1695, 270}}),
      lblBackup(*this, {.caption = L"バックアップ先(&B)：", .place = {240, 4575, 2295, 255}}, Label::Wrap::None),
      txtBackup(*this, {.place = {2640, 4575, 1980, 270}}),
      cmdBackup(*this, {.caption = L"...", .place = {4680, 4584, 252, 252}}),
      chkVerify(*this, {.caption = L"コピー後に読み直して照合する(&V)",
                        .place = {240, 4965, 5100, 252},
                        .backColour = kWindowColour}),
      chkSkipCopied(*this, {.caption = L"コピー済みのファイルを確かめる(&K)",
                            .place = {240, 5265, 5100, 252},
                            .backColour = kWindowColour}),
      chkSelectArrivedCard(*this, {.caption = L"カードが入ったらコピー元を選ぶ(&C)",
                                   .place = {240, 5565, 5100, 252},
                                   .backColour = kWindowColour}),
      chkReadCardOnce(*this, {.caption = L"Korvane がコピーし、カードは一度だけ読む(&R)",
                              .place = {240, 5865, 5100, 252},
                              .backColour = kWindowColour}),
      ImageList1(32, {{L"folder", IDI_FOLDER_CLOSED}}),
      services_(services),
      program_(program)
{
    SetTabOrder({&chkSource[0], &txtName[0], &txtSource[0], &cmdSource[0], &chkSource[1], &txtName[1], &txtSource[1],
                 &cmdSource[1], &chkSource[2], &txtName[2], &txtSource[2], &cmdSource[2], &cmdAdd, &cmdDelete,
                 &lstDir, &lblName, &txtListName, &lblDir, &txtListDir, &cmdDir, &cmdImport, &cmdOK, &cmdCancel,
                 &Frame1, &Frame2, &lblBack[0], &lblBack[1], &cmdExport, &Label1, &txtPassword, &lblBackup, &txtBackup,
                 &cmdBackup, &chkVerify, &chkSkipCopied,
                 &chkSelectArrivedCard, &chkReadCardOnce});
    for (std::size_t i = 0; i < chkSource.size(); ++i) {
        chkSource[i].onClick = [this, i] { chkSource_Click(i); };
        cmdSource[i].onClick = [this, i] { cmdSource_Click(i); };
        chkSource_Click(i);  // the rows of unchecked sources start disabled
    }
    lstDir.itemLabel = [this](std::size_t index) -> std::wstring_view { return destinations_.items().at(index).name; };
    lstDir.SetItemImage(ImageList1.IndexOf(L"folder"));
    lstDir.onSelectionChange = [this](std::optional<std::size_t> index) { destinations_.Select(index); };
    lstDir.onItemClick = [this](std::size_t index) {
        destinations_.ClickItem(index);
        ShowDestinationEdit();
    };
    lstDir.onEndLabelEdit = [this](const std::wstring& label) {
        const bool accepted = destinations_.EndLabelEdit(label);
        ShowDestinationEdit();
        return accepted;
    };
    const auto deleteSelected = [this] {
        destinations_.Delete();
        ShowDestinationEdit();
    };
    lstDir.onDeleteKey = deleteSelected;
    cmdDelete.onClick = deleteSelected;
    cmdAdd.onClick = [this] {
        destinations_.Add();
        ShowDestinationEdit();
    };
    txtListName.onChange = [this] { txtListName_Change(); };
    txtListDir.onChange = [this] { txtListDir_Change(); };
    cmdDir.onClick = [this] { cmdDir_Click(); };
    cmdBackup.onClick = [this] { PickFolderInto(txtBackup); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    cmdExport.onClick = [this] { ExportSettings(WorkingCopy(), services_); };
    cmdImport.onClick = [this] { cmdImport_Click(); };
    SetCancelButton(cmdCancel);

    LayOut();
    CenterOnScreen();
    ShowSettings(settings);
}

void frmSetup::OnLayout(unsigned dpi)
{
    ImageList1.ScaleFor(lstDir, dpi);
}

void frmSetup::ShowSettings(const SettingsStore& settings)
{
    const SettingsStore shown = WorkingCopyOf(settings);
    AttemptEach({
        {L"the source slots", [&] {
            for (std::size_t i = 0; i < chkSource.size(); ++i) {
                // Checking a box empties its name box, so the texts come after the box.
                chkSource[i].SetChecked(shown.sources[i].registered);
                txtName[i].SetText(shown.sources[i].name);
                txtSource[i].SetText(shown.sources[i].path);
            }
        }},
        {L"the password", [&] { txtPassword.SetText(shown.password); }},
        {L"the options", [&] {
            for (const auto& [box, option] : kOptionBoxes) (this->*box).SetChecked(shown.options.*option);
            txtBackup.SetText(shown.options.backupFolder);
        }},
        {L"the destination list", [&] {
            destinations_.Replace(shown.destinations);
            lstDir.SetItemCount(destinations_.items().size());
            lstDir.Select(std::nullopt);
        }},
    });
}

SettingsStore frmSetup::WorkingCopy() const
{
    SettingsStore content;
    for (std::size_t i = 0; i < chkSource.size(); ++i)
        content.sources[i] = {txtName[i].Text(), txtSource[i].Text(), chkSource[i].IsChecked()};
    content.destinations = destinations_.items();
    content.password = txtPassword.Text();
    for (const auto& [box, option] : kOptionBoxes) content.options.*option = (this->*box).IsChecked();
    content.options.backupFolder = txtBackup.Text();
    return content;
}

void frmSetup::chkSource_Click(std::size_t index)
{
    const bool checked = chkSource[index].IsChecked();
    for (Control* control : std::initializer_list<Control*>{&txtName[index], &txtSource[index], &cmdSource[index]})
        control->SetEnabled(checked);
    if (checked) {
        txtName[index].SetText(L"");
        // While the window is still being filled, before it shows, the focus cannot go anywhere.
        if (IsWindowVisible(handle())) txtName[index].Focus();
    }
    txtSource[index].SetBackColour(GetSysColor(txtSource[index].IsEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
}

void frmSetup::cmdSource_Click(std::size_t index) { PickFolderInto(txtSource[index]); }

void frmSetup::ShowDestinationEdit()
{
    const std::size_t count = destinations_.items().size();
    if (lstDir.ItemCount() != count) lstDir.SetItemCount(count);
    const auto selected = destinations_.selected();
    if (lstDir.SelectedIndex() != selected) lstDir.Select(selected);
    if (selected) lstDir.RedrawItem(*selected);
    // Setting a box runs its change handler, which finds the editor already agreeing.
    if (txtListName.Text() != destinations_.nameBox()) txtListName.SetText(destinations_.nameBox());
    if (txtListDir.Text() != destinations_.folderBox()) txtListDir.SetText(destinations_.folderBox());
}

void frmSetup::txtListName_Change()
{
    destinations_.SetNameBox(txtListName.Text());
    if (const auto selected = destinations_.selected()) lstDir.RedrawItem(*selected);
}

void frmSetup::txtListDir_Change() { destinations_.SetFolderBox(txtListDir.Text()); }

void frmSetup::cmdDir_Click() { PickFolderInto(txtListDir); }

void frmSetup::PickFolderInto(TextBox& box)
{
    const std::wstring picked = SelectFolder(services_.dialogs, handle(), box.Text());
    if (!picked.empty()) box.SetText(picked);
}

void frmSetup::cmdOK_Click()
{
    // Only a save that succeeded closes the window; otherwise everything stays as typed.
    if (!SaveSettingsFile(WorkingCopy(), services_)) return;
    Close();
    program_.ShowCopyWindow();
}

void frmSetup::cmdCancel_Click()
{
    Close();
    program_.ShowCopyWindow();
}

void frmSetup::cmdImport_Click()
{
    SettingsStore imported;
    if (ImportSettings(imported, services_)) ShowSettings(imported);
}

}  // namespace korvane::ui
