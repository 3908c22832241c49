// The settings window and the password dialog, opened as the program opens them and driven by real messages.
#include "ui/setup/frm_setup.h"

#include <gtest/gtest.h>
#include <imm.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "layout_test_support.h"
#include "program_test_support.h"
#include "ui/password/frm_password.h"
#include "ui/twips.h"

namespace korvane::ui {
namespace {

using testing::AtEveryDpi;
using testing::Centre;
using testing::ClearBox;
using testing::Click;
using testing::ClientRectOf;
using testing::Contains;
using testing::ControlAt;
using testing::ModalDriver;
using testing::NameOf;
using testing::OverlapDepth;
using testing::PaintedColourAt;
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

TEST_F(SettingsWindowTest, TheBackupFoldersButtonPicksAsTheSourcesDo)
{
    SettingsStore store;
    store.options.backupFolder = L"G:\\控え\\";
    frmSetup& backup = OpenOver(store);
    dialogs.AnswerPickFolder({});
    Click(backup.cmdBackup);
    EXPECT_EQ(backup.txtBackup.Text(), L"G:\\控え\\");
    dialogs.AnswerPickFolder({L"H:\\Sauvegarde", std::nullopt});
    Click(backup.cmdBackup);
    EXPECT_EQ(backup.txtBackup.Text(), L"H:\\Sauvegarde");
    EXPECT_EQ(dialogs.folderPicks.back().initialFolder, L"G:\\控え\\");
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

// A frame of the settings window as a user sees it: the black drop shadow behind it and the controls it holds.
// Every control that no frame holds stands on the window itself.
struct FrameGroup {
    const char* name;
    const Control& frame;
    const Control& shadow;
    std::vector<const Control*> held;
};

std::vector<FrameGroup> FrameGroupsOf(const frmSetup& w)
{
    std::vector<const Control*> sourceRows;
    for (std::size_t i = 0; i < SettingsStore::kSlotCount; ++i)
        sourceRows.insert(sourceRows.end(), {&w.chkSource[i], &w.txtName[i], &w.txtSource[i], &w.cmdSource[i]});
    return {{"source frame", w.Frame1, w.lblBack[0], sourceRows},
            {"destination frame", w.Frame2, w.lblBack[1],
             {&w.cmdAdd, &w.cmdDelete, &w.lstDir, &w.lblName, &w.txtListName, &w.lblDir, &w.txtListDir, &w.cmdDir}}};
}

// Where a frame can hold controls: inside its etched edge (two pixels at every dpi) and below its caption.
RECT InsideOf(const Control& frame)
{
    constexpr int kEdge = 2;
    RECT inside = ClientRectOf(frame);
    inside.top += testing::LineHeightOf(frame.handle());
    InflateRect(&inside, -kEdge, 0);
    inside.bottom -= kEdge;
    return inside;
}

// Where a control of the window stands.
enum class Place { FrameOrShadow, InAFrame, OnTheWindow };

Place PlaceOf(const std::vector<FrameGroup>& groups, HWND control)
{
    for (const FrameGroup& group : groups) {
        if (group.frame.handle() == control || group.shadow.handle() == control) return Place::FrameOrShadow;
        for (const Control* held : group.held)
            if (held->handle() == control) return Place::InAFrame;
    }
    return Place::OnTheWindow;
}

// How far neighbours may reach into each other: they may share their edge, one pixel at 96 dpi. Any more is one
// control covering another.
int SharedEdge(unsigned dpi) { return ScalePixels(1, dpi); }

TEST_F(SettingsWindowTest, HasAFixedFrameItsIconAndCaptionInTheMiddleOfTheScreen)
{
    testing::ExpectFixedWindowInTheMiddle(OpenOver({}), L"セットアップ - Korvane");
}

TEST_F(SettingsWindowTest, ButtonsLabelsFramesAndOptionsShowTheirCaptions)
{
    frmSetup& w = OpenOver({});
    const std::pair<const Control*, const wchar_t*> captions[] = {
        {&w.Frame1, L"コピー元"},
        {&w.Frame2, L"保存先"},
        {&w.cmdSource[0], L"..."},
        {&w.cmdSource[2], L"..."},
        {&w.cmdAdd, L"追加(&A)"},
        {&w.cmdDelete, L"削除(&D)"},
        {&w.lblName, L"項目名(&N)："},
        {&w.lblDir, L"登録するフォルダ(&D)："},
        {&w.cmdDir, L"..."},
        {&w.Label1, L"設定者用パスワード："},
        {&w.lblBackup, L"バックアップ先(&B)："},
        {&w.cmdBackup, L"..."},
        {&w.chkVerify, L"コピー後に読み直して照合する(&V)"},
        {&w.chkSkipCopied, L"コピー済みのファイルを確かめる(&K)"},
        {&w.chkSelectArrivedCard, L"カードが入ったらコピー元を選ぶ(&C)"},
        {&w.chkReadCardOnce, L"Korvane がコピーし、カードは一度だけ読む(&R)"},
        {&w.cmdImport, L"外部読込"},
        {&w.cmdExport, L"外部保存"},
        {&w.cmdOK, L"OK"},
        {&w.cmdCancel, L"キャンセル"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Text(), caption);
    const LONG listStyle = GetWindowLongW(w.lstDir.handle(), GWL_STYLE);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(listStyle & LVS_SINGLESEL);
}

TEST_F(SettingsWindowTest, EveryControlStandsInItsFrameUncoveredAndWithinTheWindowAtEveryDpi)
{
    frmSetup& w = OpenOver({});
    const std::vector<FrameGroup> groups = FrameGroupsOf(w);
    const std::vector<HWND> controls = testing::ChildControls(w.handle());
    AtEveryDpi(w, [&](unsigned dpi, const RECT& client) {
        // Nothing is cut off at the window's edges, and the window ends below its last row of controls with no
        // wider margin than the one left of them.
        LONG left = client.right;
        LONG bottom = 0;
        for (const HWND control : controls) {
            SCOPED_TRACE(NameOf(control));
            EXPECT_TRUE(Contains(client, ClientRectOf(control)));
            EXPECT_EQ(testing::FontHeightOf(control), testing::MessageFontHeight(dpi));
            left = std::min(left, ClientRectOf(control).left);
            bottom = std::max(bottom, ClientRectOf(control).bottom);
        }
        EXPECT_LE(client.bottom - bottom, left);

        for (const FrameGroup& group : groups) {
            SCOPED_TRACE(group.name);
            const RECT frame = ClientRectOf(group.frame);
            const RECT shadow = ClientRectOf(group.shadow);
            EXPECT_GT(shadow.left, frame.left);  // the shadow falls to the right and below
            EXPECT_GT(shadow.top, frame.top);
            EXPECT_GT(shadow.right, frame.right);
            EXPECT_GT(shadow.bottom, frame.bottom);
            for (const Control* held : group.held)
                EXPECT_TRUE(Contains(InsideOf(group.frame), ClientRectOf(*held))) << NameOf(held->handle());
        }

        // Every control that a user acts on or reads is the one a click in its middle reaches.
        for (auto a = controls.begin(); a != controls.end(); ++a) {
            const Place place = PlaceOf(groups, *a);
            if (place == Place::FrameOrShadow) continue;
            SCOPED_TRACE(NameOf(*a));
            EXPECT_EQ(ControlAt(w, Centre(ClientRectOf(*a))), *a);
            if (place == Place::OnTheWindow) {
                for (const FrameGroup& group : groups) {  // what no frame holds stands clear of them all
                    EXPECT_EQ(OverlapDepth(ClientRectOf(*a), ClientRectOf(group.frame)), 0) << group.name;
                    EXPECT_EQ(OverlapDepth(ClientRectOf(*a), ClientRectOf(group.shadow)), 0) << group.name;
                }
            }
            for (auto b = std::next(a); b != controls.end(); ++b) {
                if (PlaceOf(groups, *b) == Place::FrameOrShadow) continue;
                EXPECT_LE(OverlapDepth(ClientRectOf(*a), ClientRectOf(*b)), SharedEdge(dpi)) << NameOf(*b);
            }
        }
    });
}

TEST_F(SettingsWindowTest, ItsRowsReadFromTopToBottomEachFromLeftToRightAtEveryDpi)
{
    frmSetup& w = OpenOver({});
    // Each source slot's row stands at its place in the order of the slots, and each label beside its box.
    std::vector<std::vector<const Control*>> rows;
    for (std::size_t i = 0; i < SettingsStore::kSlotCount; ++i)
        rows.push_back({&w.chkSource[i], &w.txtName[i], &w.txtSource[i], &w.cmdSource[i]});
    rows.insert(rows.end(), {{&w.lblName, &w.txtListName},
                             {&w.lblDir, &w.txtListDir, &w.cmdDir},
                             {&w.Label1, &w.txtPassword},
                             {&w.lblBackup, &w.txtBackup, &w.cmdBackup},
                             {&w.chkVerify},
                             {&w.chkSkipCopied},
                             {&w.chkSelectArrivedCard},
                             {&w.chkReadCardOnce},
                             {&w.cmdImport, &w.cmdExport, &w.cmdOK, &w.cmdCancel}});
    AtEveryDpi(w, [&](unsigned dpi, const RECT&) {
        LONG above = 0;  // the bottom of the row before
        for (const auto& row : rows) {
            SCOPED_TRACE(NameOf(row.front()->handle()) + "'s row");
            const RECT first = ClientRectOf(*row.front());
            for (auto control = row.begin(); control != row.end(); ++control) {
                const RECT place = ClientRectOf(**control);
                EXPECT_GE(place.top, above - SharedEdge(dpi)) << NameOf((*control)->handle());
                EXPECT_TRUE(place.top <= Centre(first).y && Centre(first).y < place.bottom)
                    << NameOf((*control)->handle()) << " off the row's line";
                if (control != row.begin()) {
                    EXPECT_LE(ClientRectOf(**std::prev(control)).right - place.left, SharedEdge(dpi))
                        << NameOf((*control)->handle()) << " left of the control before it";
                }
            }
            for (const Control* control : row) above = std::max(above, ClientRectOf(*control).bottom);
        }
    });
}

TEST_F(SettingsWindowTest, TheWindowItsFramesShadowsAndButtonsPaintTheirColoursAtEveryDpi)
{
    frmSetup& w = OpenOver({});
    constexpr COLORREF kWindowGreen = RGB(192, 255, 192);
    constexpr COLORREF kListButtonGreen = RGB(204, 255, 204);
    constexpr COLORREF kButtonYellow = RGB(255, 255, 192);
    constexpr COLORREF kBlack = RGB(0, 0, 0);
    const COLORREF frameGrey = GetSysColor(COLOR_BTNFACE);
    const std::vector<FrameGroup> groups = FrameGroupsOf(w);
    AtEveryDpi(w, [&](unsigned dpi, const RECT& client) {
        // Points in pixels, found from where the controls stand: the control a click there reaches, and its colour.
        struct Probe {
            std::string what;
            POINT at;
            HWND control;
            COLORREF colour;
        };
        const RECT sourceFrame = ClientRectOf(w.Frame1);
        std::vector<Probe> probes = {
            {"window, above and left of the source frame", {sourceFrame.left / 2, sourceFrame.top / 2}, w.handle(),
             kWindowGreen},
            {"window, its bottom right corner", {client.right - 2, client.bottom - 2}, w.handle(), kWindowGreen},
            {"window, between the source frame's shadow and the destination frame",
             {Centre(sourceFrame).x, (ClientRectOf(w.lblBack[0]).bottom + ClientRectOf(w.Frame2).top) / 2},
             w.handle(), kWindowGreen},
        };
        for (const FrameGroup& group : groups) {
            const RECT frame = ClientRectOf(group.frame);
            const RECT shadow = ClientRectOf(group.shadow);
            const RECT inside = InsideOf(group.frame);
            LONG heldLeft = frame.right;
            for (const Control* held : group.held) heldLeft = std::min(heldLeft, ClientRectOf(*held).left);
            const std::string name = group.name;
            probes.push_back({name + ", left of what it holds", {(inside.left + heldLeft) / 2, Centre(inside).y},
                              group.frame.handle(), frameGrey});
            probes.push_back({name + "'s shadow, right", {(frame.right + shadow.right) / 2, Centre(frame).y},
                              group.shadow.handle(), kBlack});
            probes.push_back({name + "'s shadow, below", {Centre(frame).x, (frame.bottom + shadow.bottom) / 2},
                              group.shadow.handle(), kBlack});
        }
        const std::pair<const Control*, COLORREF> buttons[] = {
            {&w.cmdAdd, kListButtonGreen}, {&w.cmdDelete, kListButtonGreen}, {&w.cmdImport, kButtonYellow},
            {&w.cmdExport, kButtonYellow}, {&w.cmdOK, kButtonYellow},        {&w.cmdCancel, kButtonYellow},
        };
        for (const auto& [button, colour] : buttons) {  // the face, left of the caption
            const RECT face = ClientRectOf(*button);
            probes.push_back({NameOf(button->handle()), {face.left + ScalePixels(4, dpi), Centre(face).y},
                              button->handle(), colour});
        }
        for (const Probe& p : probes) {
            SCOPED_TRACE(p.what);
            EXPECT_EQ(ControlAt(w, p.at), p.control);
            EXPECT_EQ(PaintedColourAt(w, p.at), p.colour);
        }
    });
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
        &w.cmdImport,    &w.cmdOK,       &w.cmdCancel,    &w.cmdExport,    &w.txtPassword,  &w.txtBackup,
        &w.cmdBackup,    &w.chkVerify,
        &w.chkSkipCopied, &w.chkSelectArrivedCard, &w.chkReadCardOnce, &w.chkSource[0]};
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
    PressAccessKey(L'b');
    EXPECT_EQ(GetFocus(), w.txtBackup.handle());
    PressAccessKey(L'v');
    PressAccessKey(L'k');
    PressAccessKey(L'c');
    PressAccessKey(L'r');
    EXPECT_TRUE(w.chkVerify.IsChecked());
    EXPECT_TRUE(w.chkSkipCopied.IsChecked());
    EXPECT_TRUE(w.chkSelectArrivedCard.IsChecked());
    EXPECT_TRUE(w.chkReadCardOnce.IsChecked());
}

}  // namespace
}  // namespace korvane::ui
