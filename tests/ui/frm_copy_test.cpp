#include "ui/copy/frm_copy.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "layout_test_support.h"
#include "ui/twips.h"
#include "window_test_support.h"

namespace korvane::ui {
namespace {

using testing::Children;
using testing::Click;
using testing::CopyWindowHarness;
using testing::IsDroppedDown;
using testing::IsShown;
using testing::ItemsOf;
using testing::PressAccessKey;
using testing::PressKey;
using testing::PumpMessages;

constexpr const wchar_t* kPickFolderItem = L"(フォルダを選択)";

void ExpectMessage(const MessageBoxSpec& shown, const std::wstring& text, MessageIcon icon, MessageButtons buttons,
                   const std::wstring& title)
{
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
    EXPECT_FALSE(shown.secondButtonDefault);
    EXPECT_EQ(shown.title, title);
}

// Whether dropping the destination list opens the folder picker, as it does while the list holds only the item
// for picking a folder, rather than the list. The list is closed again and the picking cancelled.
bool DroppingTheListPicksAFolder(frmCopy& w, const testing::ScriptedDialogs& dialogs)
{
    const std::size_t picks = dialogs.folderPicks.size();
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, FALSE, 0);
    PumpMessages();
    return dialogs.folderPicks.size() > picks;
}

// A point of the window's client area, given in twips, in pixels at the window's dpi.
POINT PixelPoint(const Window& w, POINT twips)
{
    return {TwipsToPixels(twips.x, w.Dpi()), TwipsToPixels(twips.y, w.Dpi())};
}

HWND ControlAt(const Window& w, POINT twips) { return testing::ControlAt(w, PixelPoint(w, twips)); }

COLORREF PaintedColourAt(const Window& w, POINT twips) { return testing::PaintedColourAt(w, PixelPoint(w, twips)); }

class CopyWindowTest : public ::testing::Test, protected CopyWindowHarness {};

TEST_F(CopyWindowTest, WithoutSettingsFileShowsOneGreyedOutPlaceholderAndTheFolderPickingItem)
{
    frmCopy& w = Open();
    EXPECT_TRUE(IsShown(w.optSource[0]));
    EXPECT_FALSE(w.optSource[0].IsEnabled());
    EXPECT_EQ(w.optSource[0].Text(), L"(未登録)");
    EXPECT_FALSE(IsShown(w.optSource[1]));
    EXPECT_FALSE(IsShown(w.optSource[2]));
    EXPECT_EQ(w.txtSource.Text(), L"");
    EXPECT_EQ(ItemsOf(w.cboList), std::vector<std::wstring>{kPickFolderItem});
    EXPECT_EQ(w.cboList.SelectedIndex(), 0);
    EXPECT_EQ(w.cboList.Text(), kPickFolderItem);
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), L"");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(DroppingTheListPicksAFolder(w, dialogs));
}

TEST_F(CopyWindowTest, RegisteredSlotsShowTheirNamesInTheirOwnRows)
{
    struct Case {
        const wchar_t* settings;
        std::array<const wchar_t*, 3> captions;  // nullptr: hidden
    };
    const Case cases[] = {
        {L"[SourceList]\r\nSource3=USBメモリ|F:\\\r\n", {nullptr, nullptr, L"USBメモリ"}},
        {L"[SourceList]\r\nSource1=SDカード|E:\\DCIM\r\nSource3=USB|F:\\\r\n", {L"SDカード", nullptr, L"USB"}},
        {L"[SourceList]\r\nSource1=一|A:\\\r\nSource2=二|B:\\\r\nSource3=三|C:\\\r\n", {L"一", L"二", L"三"}},
    };
    for (const Case& c : cases) {
        CopyWindowHarness h;
        h.WriteSettings(c.settings);
        frmCopy& w = h.Open();
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(::testing::Message() << c.settings << " option " << i);
            EXPECT_EQ(IsShown(w.optSource[i]), c.captions[i] != nullptr);
            if (c.captions[i] == nullptr) continue;
            EXPECT_EQ(w.optSource[i].Text(), c.captions[i]);
            EXPECT_TRUE(w.optSource[i].IsEnabled());
            // Each slot keeps its own row of the source frame, whichever slots are registered.
            EXPECT_EQ(ControlAt(w, {2000, 480 + 240 * static_cast<LONG>(i)}), w.optSource[i].handle());
        }
        EXPECT_TRUE(h.dialogs.messages.empty());
    }
}

TEST_F(CopyWindowTest, ThreeDestinationsAreListedInStoredOrderWithTheFirstChosen)
{
    const std::wstring photos = programFolder / L"写真";
    testing::filetree::MakeFolder(photos);
    testing::filetree::MakeFolder(photos + L"\\2026");
    WriteSettings(L"[DirList]\r\nDir1=写真|" + photos + L"\r\nDir2=バックアップ|" + programFolder.path() +
                  L"\\\r\nDir3=仕事|" + (programFolder / L"仕事") + L"\r\n");
    frmCopy& w = Open();
    EXPECT_EQ(ItemsOf(w.cboList), (std::vector<std::wstring>{L"写真", L"バックアップ", L"仕事"}));
    EXPECT_EQ(w.cboList.SelectedIndex(), 0);
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
    ASSERT_EQ(Children(w.treDir, nullptr).size(), 1u);
    EXPECT_EQ(w.treDir.NodeText(Children(w.treDir, nullptr)[0]), L"2026");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(DroppingTheListPicksAFolder(w, dialogs));
}

TEST_F(CopyWindowTest, SettingsFileThatFailsToLoadIsReportedAndWhatWasReadIsShown)
{
    // Source2 lacks the separator: reading stops there, after slot 0 and with slot 1 named by its whole value.
    WriteSettings(L"[SourceList]\r\nSource1=カード|E:\\\r\nSource2=壊れた値\r\nSource3=USB|F:\\\r\n"
                  L"[DirList]\r\nDir1=写真|C:\\Photos\r\n");
    frmCopy& w = Open();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectMessage(dialogs.messages[0], L"設定ファイルの読み込みに失敗しました", MessageIcon::Critical,
                  MessageButtons::Ok, L"エラー");
    EXPECT_EQ(w.optSource[0].Text(), L"カード");
    EXPECT_EQ(w.optSource[1].Text(), L"壊れた値");
    EXPECT_FALSE(IsShown(w.optSource[2]));
    EXPECT_EQ(ItemsOf(w.cboList), std::vector<std::wstring>{kPickFolderItem});
    EXPECT_TRUE(DroppingTheListPicksAFolder(w, dialogs));
}

TEST_F(CopyWindowTest, AFailureNobodyExpectedWhileLoadingStillOpensTheWindow)
{
    // Both boxes of the failing load throw, so the failure leaves the settings reader: the window must catch it.
    WriteSettings(L"[SourceList]\r\nSource1=カード|E:\\\r\nSource2=壊れた値\r\n");
    for (int i = 0; i < 2; ++i)
        dialogs.AnswerMessage(MessageAnswer::Ok, [] { throw std::runtime_error("message box failed"); });
    std::wstring reported;
    {
        testing::ModalDriver driver(L"エラー", [&](HWND box) {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            reported = text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        frmCopy& w = Open();
        EXPECT_TRUE(driver.acted());
        EXPECT_TRUE(w.IsOpen());
        EXPECT_TRUE(IsWindowVisible(w.handle()));
    }
    EXPECT_EQ(reported, L"予期しないエラーが発生しました。");
}

TEST_F(CopyWindowTest, SourceOptionPutsTheStoredPathUnchangedAndOnlyOneStaysChosen)
{
    WriteSettings(L"[SourceList]\r\nSource1=末尾なし|E:\\DCIM\r\nSource2=末尾あり|F:\\写真\\\r\nSource3=空|\r\n");
    frmCopy& w = Open();
    const std::pair<std::size_t, const wchar_t*> clicks[] = {{1, L"F:\\写真\\"}, {0, L"E:\\DCIM"}, {2, L""}};
    for (const auto& [index, expected] : clicks) {
        w.txtSource.SetText(L"typed by hand");
        Click(w.optSource[index]);
        EXPECT_EQ(w.txtSource.Text(), expected);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(w.optSource[i].IsChecked(), i == index) << index << i;
    }
}

TEST_F(CopyWindowTest, FolderButtonPutsThePickedPathAndClearsTheOptionsEvenWhenCancelled)
{
    WriteSettings(L"[SourceList]\r\nSource1=カード|E:\\DCIM\r\n");
    frmCopy& w = Open();
    Click(w.optSource[0]);

    dialogs.AnswerPickFolder({});  // cancelled
    Click(w.cmdSelect);
    EXPECT_EQ(w.txtSource.Text(), L"E:\\DCIM");
    EXPECT_FALSE(w.optSource[0].IsChecked());

    Click(w.optSource[0]);
    dialogs.AnswerPickFolder({L"G:\\撮影\\2026", std::nullopt});
    Click(w.cmdSelect);
    EXPECT_EQ(w.txtSource.Text(), L"G:\\撮影\\2026");
    EXPECT_FALSE(w.optSource[0].IsChecked());

    ASSERT_EQ(dialogs.folderPicks.size(), 2u);
    for (const auto& pick : dialogs.folderPicks) {
        EXPECT_EQ(pick.owner, w.handle());
        EXPECT_EQ(pick.title, L"フォルダを選択してください");
        EXPECT_EQ(pick.initialFolder, L"E:\\DCIM");
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CopyWindowTest, FailingFolderPickerIsReportedAndKeepsTheText)
{
    frmCopy& w = Open();
    w.txtSource.SetText(L"C:\\before");
    dialogs.AnswerPickFolder({L"", 5});
    Click(w.cmdSelect);
    EXPECT_EQ(w.txtSource.Text(), L"C:\\before");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectMessage(dialogs.messages[0], L"ERROR: #5", MessageIcon::None, MessageButtons::Ok, L"ｴﾗｰ");
}

TEST_F(CopyWindowTest, DroppingTheListInSelectModeOpensThePickerAndClosesTheList)
{
    frmCopy& w = Open();
    w.txtDir.SetText(L"C:\\typed");
    struct Step {
        FolderPick answer;
        const wchar_t* expectedDir;
    };
    // Cancelled first (the text stays), then chosen (taken as it is, without a backslash added).
    const Step steps[] = {{{}, L"C:\\typed"}, {{L"D:\\保存", std::nullopt}, L"D:\\保存"}};
    for (const Step& step : steps) {
        bool openWhilePicking = true;
        dialogs.AnswerPickFolder(step.answer, [&] { openWhilePicking = IsDroppedDown(w.cboList); });
        SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages();
        EXPECT_EQ(w.txtDir.Text(), step.expectedDir);
        EXPECT_FALSE(IsDroppedDown(w.cboList));
        EXPECT_EQ(w.cboList.Text(), kPickFolderItem);
        EXPECT_FALSE(openWhilePicking);
    }
    ASSERT_EQ(dialogs.folderPicks.size(), 2u);
    EXPECT_EQ(dialogs.folderPicks[0].initialFolder, L"C:\\typed");
    EXPECT_EQ(dialogs.folderPicks[0].owner, w.handle());
    EXPECT_EQ(dialogs.folderPicks[1].initialFolder, L"C:\\typed");
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
}

TEST_F(CopyWindowTest, DroppingTheListInNormalModeOnlyOpensIt)
{
    WriteSettings(L"[DirList]\r\nDir1=写真|" + programFolder.path() + L"\r\nDir2=作業|C:\\\r\n");
    frmCopy& w = Open();
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    EXPECT_TRUE(IsDroppedDown(w.cboList));
    EXPECT_TRUE(dialogs.folderPicks.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.txtDir.Text(), programFolder.path() + L"\\");
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(CopyWindowTest, InfoButtonAsksAndAnswersInTwoSteps)
{
    const std::pair<MessageAnswer, const wchar_t*> answers[] = {{MessageAnswer::Yes, L"よかった (^-^)"},
                                                                {MessageAnswer::No, L"そんなぁ (,- -,)"}};
    frmCopy& w = Open();
    for (const auto& [answer, reply] : answers) {
        dialogs.messages.clear();
        dialogs.AnswerMessage(answer);
        Click(w.cmdInfo);
        ASSERT_EQ(dialogs.messages.size(), 2u);
        ExpectMessage(dialogs.messages[0], L"このソフトずっと使ってくださいね。", MessageIcon::Question,
                      MessageButtons::YesNo, L"作者からメッセージ");
        ExpectMessage(dialogs.messages[1], reply, MessageIcon::Information, MessageButtons::Ok, L"作者からメッセージ");
    }
    EXPECT_EQ(endRequests, 0);
}

TEST_F(CopyWindowTest, QuitButtonEscAndAltXEachEndTheProgramAtOnce)
{
    const std::function<void(frmCopy&)> ways[] = {
        [](frmCopy& w) { Click(w.cmdQuit); },
        [](frmCopy& w) {
            w.txtSource.Focus();
            PressKey(VK_ESCAPE);
        },
        [](frmCopy& w) {
            w.txtDir.Focus();
            PressAccessKey(L'x');
        },
    };
    for (const auto& quit : ways) {
        CopyWindowHarness h;
        quit(h.Open());
        EXPECT_EQ(h.endRequests, 1);
        EXPECT_TRUE(h.dialogs.messages.empty());
    }
}

TEST_F(CopyWindowTest, TabVisitsTheControlsInTheirTabOrder)
{
    WriteSettings(L"[SourceList]\r\nSource1=一|A:\\\r\nSource3=三|C:\\\r\n[DirList]\r\nDir1=写真|C:\\\r\n");
    frmCopy& w = Open();
    // The option group is one tab stop: its first visible button while none is chosen.
    const std::vector<HWND> expected = {w.optSource[0].handle(), w.cboList.handle(),  w.treDir.handle(),
                                        w.cmdSetup.handle(),     w.cmdStart.handle(), w.cmdQuit.handle(),
                                        w.cmdInfo.handle(),      w.txtDir.handle(),   w.txtSource.handle(),
                                        w.cmdSelect.handle(),    w.optSource[0].handle()};
    w.optSource[0].Focus();
    std::vector<HWND> visited = {GetFocus()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        PressKey(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, expected);
    EXPECT_FALSE(w.optSource[0].IsChecked());  // reaching an option button does not choose it
}

TEST_F(CopyWindowTest, TabReachesTheSourceOptionsInEveryStateOfTheGroup)
{
    const std::wstring both = L"[SourceList]\r\nSource1=一|A:\\\r\nSource3=三|C:\\\r\n";
    const struct {
        const char* name;
        std::wstring settings;
        std::function<void(frmCopy&)> act;
        int expectedStop;  // the option Tab reaches from the folder button; -1: Tab passes the group by
    } cases[] = {
        {"none chosen", both, [](frmCopy&) {}, 0},
        {"first slot unregistered", L"[SourceList]\r\nSource2=二|B:\\\r\nSource3=三|C:\\\r\n", [](frmCopy&) {}, 1},
        {"third chosen", both, [](frmCopy& w) { Click(w.optSource[2]); }, 2},
        {"cleared by the folder button",
         both,
         [](frmCopy& w) {
             Click(w.optSource[2]);
             Click(w.cmdSelect);
         },
         0},
        {"nothing registered", L"", [](frmCopy&) {}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CopyWindowHarness h;
        h.WriteSettings(c.settings + L"[DirList]\r\nDir1=先|" + h.programFolder.path() + L"\r\n");
        frmCopy& w = h.Open();
        c.act(w);
        w.cmdSelect.Focus();
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), c.expectedStop < 0 ? w.cboList.handle() : w.optSource[c.expectedStop].handle());
        if (c.expectedStop < 0) continue;
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), w.cboList.handle());  // the group is one stop
        PressKey(VK_TAB);
        w.cmdSelect.Focus();
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), w.optSource[c.expectedStop].handle());  // and stays where it was
    }
}

TEST_F(CopyWindowTest, ArrowKeysMoveAmongTheVisibleOptionsOfTheGroupOnly)
{
    WriteSettings(L"[SourceList]\r\nSource1=一|A:\\\r\nSource2=二|B:\\\r\nSource3=三|C:\\\r\n");
    frmCopy& w = Open();
    w.optSource[1].SetEnabled(false);
    w.optSource[0].Focus();
    const std::pair<WPARAM, std::size_t> steps[] = {
        {VK_DOWN, 2}, {VK_DOWN, 0}, {VK_UP, 2}, {VK_RIGHT, 0}, {VK_LEFT, 2}};
    for (const auto& [key, expected] : steps) {
        PressKey(key);
        EXPECT_EQ(GetFocus(), w.optSource[expected].handle()) << key;
    }
}

TEST_F(CopyWindowTest, ButtonsAndFramesShowTheirCaptions)
{
    frmCopy& w = Open();
    const std::pair<const Control*, const wchar_t*> captions[] = {
        {&w.Frame1, L"コピー元"},    {&w.Frame2, L"保存先"},        {&w.cmdSetup, L"設定(&I)"},
        {&w.cmdStart, L"開始(&S)"}, {&w.cmdQuit, L"終了(&X)"},     {&w.cmdSelect, L"..."},
        {&w.cmdInfo, L"作者からのメッセージ"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Text(), caption);
}

TEST_F(CopyWindowTest, WindowHasTheDesignedFrameSizePositionAndIcon)
{
    testing::ExpectFixedWindowInTheMiddle(Open(), L"Korvane");
}

TEST_F(CopyWindowTest, EveryPointOfTheWindowShowsItsControlAndColourAtEveryDpi)
{
    WriteSettings(L"[SourceList]\r\nSource1=一|A:\\\r\nSource2=二|B:\\\r\nSource3=三|C:\\\r\n");
    frmCopy& w = Open();
    constexpr COLORREF kYellow = 0x00C0FFFF;
    constexpr COLORREF kGreen = 0x00C0FFC0;
    constexpr COLORREF kOrange = 0x00C0E0FF;
    constexpr COLORREF kBlack = 0x00000000;
    // Points of the client area in twips, away from the edges and captions of what is there: the control a click
    // there reaches (nullptr: the window itself), and the colour painted there, where it is the window's own.
    const struct {
        const char* what;
        POINT at;
        const Control* control;
        std::optional<COLORREF> colour;
    } points[] = {
        {"window, above the source frame", {60, 60}, nullptr, kYellow},
        {"source frame, left of the options", {200, 700}, &w.Frame1, kGreen},
        {"source frame's shadow, right", {4236, 800}, &w.lblBack[0], kBlack},
        {"source frame's shadow, below", {2000, 1596}, &w.lblBack[0], kBlack},
        {"window, between the frames", {2000, 1750}, nullptr, kYellow},
        {"first option, past its caption", {3700, 480}, &w.optSource[0], kGreen},
        {"third option, past its caption", {3700, 960}, &w.optSource[2], kGreen},
        {"source box", {2000, 1330}, &w.txtSource, GetSysColor(COLOR_WINDOW)},
        {"source folder button", {3726, 1326}, &w.cmdSelect, std::nullopt},
        {"destination list", {2000, 2300}, &w.cboList, std::nullopt},
        {"destination frame, right of the list", {3500, 2300}, &w.Frame2, kGreen},
        {"folder tree", {2000, 3300}, &w.treDir, std::nullopt},
        {"destination box", {3800, 4330}, &w.txtDir, kGreen},
        {"destination frame's shadow, right", {4236, 3000}, &w.lblBack[1], kBlack},
        {"destination frame's shadow, below", {2000, 4596}, &w.lblBack[1], kBlack},
        {"window, right of the shadows", {4320, 3000}, nullptr, kYellow},
        {"window, above the buttons", {1000, 4700}, nullptr, kYellow},
        {"settings button", {180, 4860}, &w.cmdSetup, kOrange},
        {"start button", {1980, 4860}, &w.cmdStart, kOrange},
        {"quit button", {3180, 4860}, &w.cmdQuit, kOrange},
        {"author's message button", {540, 5340}, &w.cmdInfo, kYellow},
        {"window, its bottom right corner", {4360, 5560}, nullptr, kYellow},
    };
    testing::AtEveryDpi(w, [&](unsigned dpi, const RECT&) {
        for (const auto& p : points) {
            SCOPED_TRACE(p.what);
            const HWND expected = p.control != nullptr ? p.control->handle() : w.handle();
            EXPECT_EQ(ControlAt(w, p.at), expected);
            if (p.colour) {
                EXPECT_EQ(PaintedColourAt(w, p.at), *p.colour);
            }
            if (p.control == nullptr) continue;
            EXPECT_EQ(testing::FontHeightOf(expected), testing::MessageFontHeight(dpi));
        }
    });
}

TEST_F(CopyWindowTest, ClosingTheWindowDestroysItsControlsAndAFreshOneStartsFromTheFile)
{
    WriteSettings(L"[SourceList]\r\nSource1=カード|E:\\DCIM\r\n");
    frmCopy& first = Open();
    Click(first.optSource[0]);
    bool closed = false;
    first.onClosed = [&] { closed = true; };
    SendMessageW(first.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(first.txtSource.handle(), nullptr);
    EXPECT_EQ(endRequests, 0);

    WriteSettings(L"[SourceList]\r\nSource2=新しい|F:\\\r\n");
    frmCopy& second = Open();
    EXPECT_EQ(second.txtSource.Text(), L"");
    EXPECT_FALSE(IsShown(second.optSource[0]));
    EXPECT_EQ(second.optSource[1].Text(), L"新しい");
}

}  // namespace
}  // namespace korvane::ui
