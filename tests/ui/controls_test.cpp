#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/controls/buttons.h"
#include "ui/controls/combo_box.h"
#include "ui/controls/static_controls.h"
#include "ui/controls/text_box.h"
#include "ui/controls/tree_view.h"
#include "ui/controls/window.h"
#include "window_test_support.h"

namespace korvane::ui {
namespace {

using testing::Children;
using testing::Click;
using testing::ModalDriver;
using testing::PressAccessKey;
using testing::PressKey;
using testing::PumpMessages;

// A window with one control of each kind, created in this order (and so tabbed through in this order).
class SampleWindow : public Window {
public:
    SampleWindow() : Window({.caption = L"見本", .clientSize = {6000, 4000}, .backColour = RGB(255, 255, 224)})
    {
        SetDefaultButton(cmdOK);
        SetCancelButton(cmdBack);
        LayOut();
        Show();
    }

    TextBox txtName{*this, {.place = {120, 120, 3000, 300}}};
    std::array<OptionButton, 3> optChoice{OptionButton(*this, {.caption = L"一", .place = {120, 600, 1500, 300}}),
                                          OptionButton(*this, {.caption = L"二", .place = {120, 900, 1500, 300}}),
                                          OptionButton(*this, {.caption = L"三", .place = {120, 1200, 1500, 300}})};
    CheckBox chkKeep{*this, {.caption = L"残す", .place = {120, 1600, 1500, 300}}};
    ComboBox cboKind{*this, {.place = {120, 2000, 3000, 300}}};
    Button cmdOK{*this, {.caption = L"OK", .place = {3500, 120, 1000, 360}}};
    GraphicalButton cmdBack{*this,
                            {.caption = L"戻る(&B)", .place = {3500, 600, 1000, 360}, .backColour = RGB(255, 224, 192)}};
    Label lblNote{*this, {.caption = L"メモ", .place = {120, 2600, 3000, 300}}};
    Frame fraAll{*this, {.caption = L"枠", .place = {60, 60, 5800, 3800}, .backColour = RGB(192, 255, 192)}};
};

// Records each run of a handler with what the control showed while it ran.
struct Runs {
    std::vector<std::wstring> seen;
    int count() const { return static_cast<int>(seen.size()); }
};

TEST(ControlsTest, SettingATextRunsTheChangeHandlerOnceBeforeReturning)
{
    SampleWindow w;
    Runs runs;
    w.txtName.onChange = [&] { runs.seen.push_back(w.txtName.Text()); };

    w.txtName.SetText(L"最初");
    EXPECT_EQ(runs.seen, std::vector<std::wstring>{L"最初"});
    w.txtName.SetText(L"最初");  // the same text again is a change all the same
    w.txtName.SetText(L"");
    EXPECT_EQ(runs.seen, (std::vector<std::wstring>{L"最初", L"最初", L""}));
    PumpMessages();
    EXPECT_EQ(runs.count(), 3);

    w.txtName.Focus();
    SendMessageW(w.txtName.handle(), WM_CHAR, L'あ', 1);
    EXPECT_EQ(runs.count(), 4);
    EXPECT_EQ(runs.seen.back(), L"あ");
}

TEST(ControlsTest, ACheckBoxRunsItsHandlerWhenItsStateChanges)
{
    SampleWindow w;
    Runs runs;
    w.chkKeep.onClick = [&] { runs.seen.push_back(w.chkKeep.IsChecked() ? L"on" : L"off"); };
    w.chkKeep.SetChecked(true);
    w.chkKeep.SetChecked(true);
    Click(w.chkKeep);
    w.chkKeep.SetChecked(false);
    EXPECT_EQ(runs.seen, (std::vector<std::wstring>{L"on", L"off"}));
}

TEST(ControlsTest, ChoosingAnOptionClearsTheOthersOfItsGroupHiddenOnesIncluded)
{
    SampleWindow w;
    std::vector<int> clicked;
    for (int i = 0; i < 3; ++i) w.optChoice[i].onClick = [&, i] { clicked.push_back(i); };

    w.optChoice[2].SetChecked(true);
    w.optChoice[2].SetVisible(false);
    Click(w.optChoice[0]);
    Click(w.optChoice[0]);  // a click on the chosen one is still a click
    EXPECT_TRUE(w.optChoice[0].IsChecked());
    EXPECT_FALSE(w.optChoice[2].IsChecked());

    w.optChoice[1].SetChecked(true);
    w.optChoice[1].SetChecked(true);  // already chosen: nothing happens
    w.optChoice[1].SetChecked(false);
    EXPECT_FALSE(w.optChoice[0].IsChecked());
    EXPECT_FALSE(w.optChoice[1].IsChecked());
    EXPECT_EQ(clicked, (std::vector<int>{2, 0, 0, 1}));
    EXPECT_FALSE(w.chkKeep.IsChecked());  // the check box after the row is not part of the group
}

TEST(ControlsTest, SelectingAListItemRunsTheHandlerOnceByProgramAndByKeyboard)
{
    SampleWindow w;
    for (const wchar_t* item : {L"写真", L"動画", L"音声"}) w.cboKind.AddItem(item);
    std::vector<int> selected;
    w.cboKind.onSelectionChange = [&] { selected.push_back(w.cboKind.SelectedIndex()); };

    w.cboKind.SetSelectedIndex(1);
    EXPECT_EQ(selected, std::vector<int>{1});
    w.cboKind.Focus();
    PressKey(VK_DOWN);
    EXPECT_EQ(selected, (std::vector<int>{1, 2}));
    EXPECT_EQ(w.cboKind.Text(), L"音声");
    w.cboKind.Clear();
    EXPECT_TRUE(testing::ItemsOf(w.cboKind).empty());
    EXPECT_EQ(selected.size(), 2u);
}

TEST(ControlsTest, KeyboardReachesTheDefaultCancelAndAccessKeyButtonsAndTabsThroughTheControls)
{
    SampleWindow w;
    int ok = 0;
    int back = 0;
    w.cmdOK.onClick = [&] { ++ok; };
    w.cmdBack.onClick = [&] { ++back; };

    w.txtName.Focus();
    PressKey(VK_RETURN);
    EXPECT_EQ(ok, 1);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(back, 1);
    PressAccessKey(L'b');
    EXPECT_EQ(back, 2);

    w.optChoice[1].SetEnabled(false);
    w.optChoice[2].SetVisible(false);
    w.txtName.Focus();
    std::vector<HWND> visited;
    for (int i = 0; i < 6; ++i) {
        PressKey(VK_TAB);
        visited.push_back(GetFocus());
    }
    const std::vector<HWND> expected = {w.optChoice[0].handle(), w.chkKeep.handle(), w.cboKind.handle(),
                                        w.cmdOK.handle(),        w.cmdBack.handle(), w.txtName.handle()};
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(back, 2);
}

TEST(ControlsTest, AFailingHandlerIsReportedAndTheWindowGoesOn)
{
    SampleWindow w;
    std::wstring reported;
    w.cmdOK.onClick = [] { throw std::runtime_error("disk on fire"); };
    {
        ModalDriver driver(L"エラー", [&](HWND box) {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            reported = text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        Click(w.cmdOK);
        EXPECT_TRUE(driver.acted());
    }
    EXPECT_EQ(reported, L"予期しないエラーが発生しました。");  // the English details go to the debugger only
    EXPECT_TRUE(w.IsOpen());
    int ran = 0;
    w.cmdOK.onClick = [&] { ++ran; };
    Click(w.cmdOK);
    EXPECT_EQ(ran, 1);
}

// The colour a control's text stands on, as the window answers the control's colour message.
COLORREF BackgroundAnswered(const Window& window, const Control& control, UINT message)
{
    const HDC dc = GetDC(control.handle());
    SetBkColor(dc, RGB(1, 2, 3));
    SendMessageW(window.handle(), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control.handle()));
    const COLORREF colour = GetBkColor(dc);
    ReleaseDC(control.handle(), dc);
    return colour;
}

TEST(ControlsTest, ControlsStandOnTheirOwnColourTheWindowsOrTheSystemsAsTheyShould)
{
    SampleWindow w;
    struct Case {
        const char* name;
        std::function<void()> change;
        const Control& control;
        UINT message;
        COLORREF expected;
    };
    const Case cases[] = {
        {"caption without a colour", [] {}, w.lblNote, WM_CTLCOLORSTATIC, RGB(255, 255, 224)},
        {"button with its own colour", [] {}, w.cmdBack, WM_CTLCOLORBTN, RGB(255, 224, 192)},
        {"text box", [] {}, w.txtName, WM_CTLCOLOREDIT, GetSysColor(COLOR_WINDOW)},
        // The system's colour of a disabled text box, not the window's.
        {"disabled text box", [&] { w.txtName.SetEnabled(false); }, w.txtName, WM_CTLCOLORSTATIC,
         GetSysColor(COLOR_BTNFACE)},
        {"disabled text box given a colour", [&] { w.txtName.SetBackColour(GetSysColor(COLOR_BTNFACE)); },
         w.txtName, WM_CTLCOLORSTATIC, GetSysColor(COLOR_BTNFACE)},
        {"text box given the window colour again",
         [&] {
             w.txtName.SetEnabled(true);
             w.txtName.SetBackColour(GetSysColor(COLOR_WINDOW));
         },
         w.txtName, WM_CTLCOLOREDIT, GetSysColor(COLOR_WINDOW)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        EXPECT_EQ(BackgroundAnswered(w, c.control, c.message), c.expected);
    }
}

TEST(ControlsTest, TextsSortedBeforehandStandAsTheTreeSortsThem)
{
    class TreeWindow : public Window {
    public:
        TreeWindow() : Window({.caption = L"木", .clientSize = {3000, 3000}}) { LayOut(); }
        TreeView tree{*this, {.place = {0, 0, 3000, 3000}}};
    } w;
    const std::vector<std::wstring> texts{
        L"旅行", L"Events", L"events2", L"2026_1205", L"2026_0817 夏休み", L"10", L"2", L"1", L"_下書き", L"-x",
        L"x y", L"x", L"ＡＢ", L"ab", L"ﾊﾝｶｸ", L"ハンカク", L"はんかく", L"漢字", L"Zeta", L"alpha", L"ä", L"b",
        L"ｧｨｩｪｫｬｭｮｯ", L"ｧｧｧｧｧｧｧｧｧｧ", L"ｧｧｧｧｧｧｧｧｧ"};  // small half-width kana: keys longer than most
    for (const std::wstring& text : texts) w.tree.AddNode(nullptr, text, 0, 0);
    TreeView_SortChildren(w.tree.handle(), TVI_ROOT, FALSE);
    std::vector<std::wstring> byTheTree;
    for (TreeNode node : Children(w.tree, nullptr)) byTheTree.push_back(w.tree.NodeText(node));

    std::vector<std::wstring> sorted = texts;
    SortAsTreeSorts(sorted);
    EXPECT_EQ(sorted, byTheTree);
}

TEST(ControlsTest, ClosingRunsOnClosedOnceAndLeavesTheControlsWithoutWindows)
{
    SampleWindow w;
    int closed = 0;
    w.onClosed = [&] { ++closed; };
    const HWND name = w.txtName.handle();
    SendMessageW(w.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(w.IsOpen());
    EXPECT_FALSE(IsWindow(name));
    EXPECT_EQ(w.txtName.handle(), nullptr);
    w.Close();  // closing a closed window does nothing
    EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace korvane::ui
