#include "ui/password/frm_password.h"

#include "core/settings/settings_commands.h"

namespace korvane::ui {

frmPassword::frmPassword(const SettingsStore& settings, Dialogs& dialogs, ProgramActions& program, HWND owner)
    : Window({.caption = L"パスワードを入力してください",
              .clientSize = {3090, 1275},
              .backColour = GetSysColor(COLOR_BTNFACE),
              .border = Border::FixedDialog,
              .owner = owner}),
      txtPassword(*this, {.place = {240, 240, 2532, 264}}),
      cmdOK(*this, {.caption = L"OK", .place = {360, 720, 1092, 372}}),
      cmdCancel(*this, {.caption = L"キャンセル", .place = {1560, 720, 1092, 372}}),
      settings_(settings),
      dialogs_(dialogs),
      program_(program)
{
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { Close(); };
    SetDefaultButton(cmdOK);
    SetCancelButton(cmdCancel);
    LayOut();
    CenterOnScreen();
}

void frmPassword::cmdOK_Click()
{
    if (!CheckPassword(settings_, txtPassword.Text(), dialogs_)) return;
    Close();
    program_.OpenSettingsWindow();
}

}  // namespace korvane::ui
