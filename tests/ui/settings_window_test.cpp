// The settings window and the password dialog, opened as the program opens them and driven by real messages.
#include "ui/setup/frm_setup.h"

#include <gtest/gtest.h>
#include <imm.h>

#include <functional>
#include <string>
#include <vector>

#include "program_test_support.h"
#include "ui/password/frm_password.h"
#include "ui/twips.h"

namespace korvane::ui {
namespace {

using testing::ClearBox;
using testing::Click;
using testing::ModalDriver;
using testing::PressAccessKey;
using testing::PressKey;
using testing::ProgramHarness;
using testing::PumpMessages;
using testing::ShownLabel;
using testing::TypeInto;

class SettingsWindowTest : public ::testing::Test, protected ProgramHarness {
protected:
    // The settings window filled from `store` as it stands, without the copy window's reading of the file.
    frmSetup& OpenOver(const SettingsStore& store)
    {
        settings = store;
        windows.OpenSettingsWindow();
        PumpMessages();
        return *windows.settingsWindow();
    }
};

std::vector<std::wstring> ShownLabels(const ListView& list)
{
    std::vector<std::wstring> labels;
    for (std::size_t i = 0; i < list.ItemCount(); ++i) labels.push_back(ShownLabel(list, i));
    return labels;
}

COLORREF BackgroundOf(const TextBox& box)
{
    return box.backColour().value_or(CLR_INVALID);
}

struct SlotView {
    bool checked;
    std::wstring name;
    std::wstring path;
};

void ExpectSlot(const frmSetup& w, std::size_t i, const SlotView& expected)
{
    SCOPED_TRACE("slot " + std::to_string(i));
    EXPECT_EQ(w.chkSource[i].IsChecked(), expected.checked);
    EXPECT_EQ(w.txtName[i].Text(), expected.name);
    EXPECT_EQ(w.txtSource[i].Text(), expected.path);
    EXPECT_EQ(w.txtName[i].IsEnabled(), expected.checked);
    EXPECT_EQ(w.txtSource[i].IsEnabled(), expected.checked);
    EXPECT_EQ(w.cmdSource[i].IsEnabled(), expected.checked);
    EXPECT_EQ(BackgroundOf(w.txtSource[i]), GetSysColor(expected.checked ? COLOR_WINDOW : COLOR_BTNFACE));
}

struct ShowCase {
    const char* name;
    SettingsStore store;
    std::array<SlotView, 3> slots;
    std::vector<std::wstring> labels;    friend void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }
};

class ShowSettingsTest : public SettingsWindowTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowSettingsTest, ShowsTheStoreWithNothingSelected)
{
    const ShowCase& c = GetParam();
    frmSetup& w = OpenOver(c.store);
    for (std::size_t i = 0; i < 3; ++i) ExpectSlot(w, i, c.slots[i]);
    EXPECT_EQ(ShownLabels(w.lstDir), c.labels);
    EXPECT_EQ(w.lstDir.SelectedIndex(), std::nullopt);
    EXPECT_EQ(w.txtListName.Text(), L"");
    EXPECT_EQ(w.txtListDir.Text(), L"");
    EXPECT_EQ(w.txtPassword.Text(), c.store.password);
    EXPECT_TRUE(dialogs.messages.empty());
}

SettingsStore Store(std::array<SourceSlot, 3> sources, std::vector<DirEntry> destinations, std::wstring password)
{
    SettingsStore store;
    store.sources = std::move(sources);
    store.destinations = std::move(destinations);
    store.password = std::move(password);
    return store;
}

INSTANTIATE_TEST_SUITE_P(
    Stores, ShowSettingsTest,
    ::testing::Values(
        ShowCase{"OnlyTheSecondSlot",
                 Store({SourceSlot{}, SourceSlot{L"カード", L"E:\\DCIM", true}, SourceSlot{}}, {}, L""),
                 {SlotView{false, L"", L""}, SlotView{true, L"カード", L"E:\\DCIM"}, SlotView{false, L"", L""}},
                 {}},
        ShowCase{"StoredTextsOfAnUnregisteredSlotAreNotShown",
                 Store({SourceSlot{L"古い", L"F:\\古い", false}, SourceSlot{}, SourceSlot{L"", L"", true}},
                       {{L"写真", L"C:\\写真"}}, L"秘密 pass"),
                 {SlotView{false, L"", L""}, SlotView{false, L"", L""}, SlotView{true, L"", L""}}, {L"写真"}},
        ShowCase{"ThreeSlotsAndThreeDestinationsInTheirOrder",
                 Store({SourceSlot{L"A", L"E:\\", true}, SourceSlot{L"B", L"F:\\", true},
                        SourceSlot{L"C", L"G:\\", true}},
                       {{L"写真", L"C:\\写真"}, {L"", L""}, {L"仕事", L"D:\\仕事"}}, L" "),
                 {SlotView{true, L"A", L"E:\\"}, SlotView{true, L"B", L"F:\\"}, SlotView{true, L"C", L"G:\\"}},
                 {L"写真", L"", L"仕事"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowTest, CheckingASlotEmptiesItsNameEnablesItsRowAndMovesTheFocusThere)
{
    frmSetup& w = OpenOver({});
    Click(w.chkSource[2]);
    ExpectSlot(w, 2, {true, L"", L""});
    EXPECT_EQ(GetFocus(), w.txtName[2].handle());
    TypeInto(w.txtName[2].handle(), L"カード");
    TypeInto(w.txtSource[2].handle(), L"E:\\DCIM");

    Click(w.chkSource[2]);
    ExpectSlot(w, 2, {false, L"カード", L"E:\\DCIM"});  // greyed, texts kept

    Click(w.chkSource[2]);
    ExpectSlot(w, 2, {true, L"", L"E:\\DCIM"});  // the name starts again, the folder stays
}

TEST_F(SettingsWindowTest, TheFolderButtonsReplaceTheirBoxOnlyWhenAFolderIsChosen)
{
    SettingsStore store;
    store.sources[0] = {L"カード", L"E:\\DCIM", true};
    frmSetup& w = OpenOver(store);
    dialogs.AnswerPickFolder({});
    Click(w.cmdSource[0]);
    EXPECT_EQ(w.txtSource[0].Text(), L"E:\\DCIM");
    dialogs.AnswerPickFolder({L"F:\\写真", std::nullopt});
    Click(w.cmdSource[0]);
    EXPECT_EQ(w.txtSource[0].Text(), L"F:\\写真");
    ASSERT_EQ(dialogs.folderPicks.size(), 2u);
    EXPECT_EQ(dialogs.folderPicks[1].owner, w.handle());
    EXPECT_EQ(dialogs.folderPicks[1].initialFolder, L"E:\\DCIM");
}

TEST_F(SettingsWindowTest, ThePasswordBoxShowsStarsAndTakesNoInputMethod)
{
    SettingsStore store;
    store.password = L"ﾊﾟｽ word";
    frmSetup& w = OpenOver(store);
    EXPECT_EQ(w.txtPassword.Text(), L"ﾊﾟｽ word");
    EXPECT_EQ(SendMessageW(w.txtPassword.handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(ImmGetContext(w.txtPassword.handle()), nullptr);
}

TEST_F(SettingsWindowTest, LaysItsControlsOutAsDesignedWithTheirCaptionsAndColours)
{
    frmSetup& w = OpenOver({});
    const unsigned dpi = w.Dpi();
    RECT client;
    GetClientRect(w.handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(5580, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(5715, dpi));
    wchar_t caption[64] = {};
    GetWindowTextW(w.handle(), caption, 64);
    EXPECT_STREQ(caption, L"セットアップ - Korvane");
    const LONG style = GetWindowLongW(w.handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    struct Placed {
        const Control& control;
        TwipsRect twips;
        const wchar_t* caption;
    };
    const Placed placed[] = {
        {w.chkSource[1], {240, 720, 252, 252}, L""},
        {w.txtName[2], {480, 1080, 1452, 264}, L""},
        {w.txtSource[0], {2040, 360, 2772, 264}, L""},
        {w.cmdSource[2], {4800, 1080, 252, 252}, L"..."},
        {w.cmdAdd, {240, 2040, 852, 372}, L"追加(&A)"},
        {w.cmdDelete, {240, 2520, 852, 372}, L"削除(&D)"},
        {w.lstDir, {1200, 2040, 3852, 852}, L""},
        {w.lblName, {360, 3120, 1692, 252}, L"項目名(&N)："},
        {w.txtListName, {2040, 3120, 2892, 264}, L""},
        {w.lblDir, {360, 3480, 1692, 252}, L"登録するフォルダ(&D)："},
        {w.txtListDir, {2040, 3480, 2652, 264}, L""},
        {w.cmdDir, {4680, 3480, 252, 252}, L"..."},
        {w.Label1, {240, 4200, 2295, 255}, L"設定者用パスワード："},
        {w.txtPassword, {2640, 4200, 1695, 270}, L""},
        {w.chkVerify, {240, 4590, 5100, 252}, L"コピー後に読み直して照合する(&V)"},
        {w.chkSkipCopied, {240, 4890, 5100, 252}, L"コピー済みのファイルを確かめる(&K)"},
        {w.cmdImport, {120, 5280, 1092, 372}, L"外部読込"},
        {w.cmdExport, {1320, 5280, 1092, 372}, L"外部保存"},
        {w.cmdOK, {3120, 5280, 1092, 372}, L"OK"},
        {w.cmdCancel, {4320, 5280, 1092, 372}, L"キャンセル"},
        {w.Frame1, {120, 120, 5172, 1452}, L"コピー元"},
        {w.Frame2, {120, 1680, 5172, 2292}, L"保存先"},
        {w.lblBack[0], {156, 240, 5196, 1380}, L""},
        {w.lblBack[1], {156, 1764, 5196, 2268}, L""},
    };
    for (const Placed& p : placed) {
        SCOPED_TRACE(::testing::PrintToString(p.caption));
        EXPECT_EQ(testing::ClientRectOf(p.control.handle()).left, TwipsToPixels(p.twips.left, dpi));
        EXPECT_EQ(testing::ClientRectOf(p.control.handle()).top, TwipsToPixels(p.twips.top, dpi));
        EXPECT_EQ(testing::ClientRectOf(p.control.handle()).right, TwipsToPixels(p.twips.left + p.twips.width, dpi));
        EXPECT_EQ(p.control.Text(), p.caption);
    }
    EXPECT_EQ(w.cmdAdd.backColour(), RGB(204, 255, 204));
    EXPECT_EQ(w.cmdOK.backColour(), RGB(255, 255, 192));
    EXPECT_EQ(w.lblBack[1].backColour(), RGB(0, 0, 0));
    EXPECT_EQ(GetWindowLongW(w.lstDir.handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(GetWindowLongW(w.lstDir.handle(), GWL_STYLE) & LVS_SINGLESEL);
}

TEST_F(SettingsWindowTest, TabVisitsTheControlsInTheirOrderAndAccessKeysReachTheirControls)
{
    SettingsStore store;
    for (SourceSlot& slot : store.sources) slot = {L"名前", L"E:\\", true};
    store.destinations = {{L"写真", L"C:\\写真"}};
    frmSetup& w = OpenOver(store);
    const std::vector<const Control*> expected{
        &w.chkSource[0], &w.txtName[0],  &w.txtSource[0], &w.cmdSource[0], &w.chkSource[1], &w.txtName[1],
        &w.txtSource[1], &w.cmdSource[1], &w.chkSource[2], &w.txtName[2], &w.txtSource[2], &w.cmdSource[2],
        &w.cmdAdd,       &w.cmdDelete,   &w.lstDir,       &w.txtListName,  &w.txtListDir,   &w.cmdDir,
        &w.cmdImport,    &w.cmdOK,       &w.cmdCancel,    &w.cmdExport,    &w.txtPassword,  &w.chkVerify,
        &w.chkSkipCopied, &w.chkSource[0]};
    EXPECT_EQ(GetFocus(), w.chkSource[0].handle());
    for (std::size_t i = 1; i < expected.size(); ++i) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), expected[i]->handle()) << "after " << i << " Tab presses";
    }

    PressAccessKey(L'n');
    EXPECT_EQ(GetFocus(), w.txtListName.handle());
    // Alt+D belongs to the delete button and to the folder label: as in any dialog, a shared access key only
    // moves the focus between its controls, so it never deletes by surprise.
    PressAccessKey(L'd');
    const HWND first = GetFocus();
    PressAccessKey(L'd');
    const HWND second = GetFocus();
    EXPECT_EQ((std::vector<HWND>{first, second}),
              (std::vector<HWND>{w.txtListDir.handle(), w.cmdDelete.handle()}));
    EXPECT_EQ(w.destinations().items().size(), 1u);
    PressAccessKey(L'a');
    EXPECT_EQ(w.destinations().items().size(), 2u);
    PressAccessKey(L'v');
    PressAccessKey(L'k');
    EXPECT_TRUE(w.chkVerify.IsChecked());
    EXPECT_TRUE(w.chkSkipCopied.IsChecked());
}

}  // namespace
}  // namespace korvane::ui
