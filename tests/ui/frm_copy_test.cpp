#include "ui/copy/frm_copy.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/twips.h"
#include "window_test_support.h"

namespace korvane::ui {
namespace {

using testing::Click;
using testing::ClientRectOf;
using testing::CopyWindowHarness;
using testing::PressAccessKey;
using testing::PressKey;
using testing::PumpMessages;

constexpr const wchar_t* kPickFolderItem = L"(フォルダを選択)";

std::vector<std::wstring> ItemsOf(const ComboBox& list)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.ItemText(i));
    return items;
}

void ExpectMessage(const MessageBoxSpec& shown, const std::wstring& text, MessageIcon icon, MessageButtons buttons,
                   const std::wstring& title)
{
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
    EXPECT_FALSE(shown.secondButtonDefault);
    EXPECT_EQ(shown.title, title);
}

class CopyWindowTest : public ::testing::Test, protected CopyWindowHarness {};

TEST_F(CopyWindowTest, WithoutSettingsFileShowsOneGreyedOutPlaceholderAndTheFolderPickingItem)
{
    frmCopy& w = Open();
    EXPECT_TRUE(w.optSource[0].IsVisible());
    EXPECT_FALSE(w.optSource[0].IsEnabled());
    EXPECT_EQ(w.optSource[0].Text(), L"(未登録)");
    EXPECT_FALSE(w.optSource[1].IsVisible());
    EXPECT_FALSE(w.optSource[2].IsVisible());
    EXPECT_EQ(w.txtSource.Text(), L"");
    EXPECT_EQ(ItemsOf(w.cboList), std::vector<std::wstring>{kPickFolderItem});
    EXPECT_EQ(w.cboList.SelectedIndex(), 0);
    EXPECT_EQ(w.cboList.Text(), kPickFolderItem);
    EXPECT_EQ(w.cboList.tag, L"Select");
    EXPECT_TRUE(w.treDir.Children(nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), L"");
    EXPECT_TRUE(dialogs.messages.empty());
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
        const unsigned dpi = w.Dpi();
        const RECT frame = ClientRectOf(w.Frame1.handle());
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(::testing::Message() << c.settings << " option " << i);
            EXPECT_EQ(w.optSource[i].IsVisible(), c.captions[i] != nullptr);
            if (c.captions[i] == nullptr) continue;
            EXPECT_EQ(w.optSource[i].Text(), c.captions[i]);
            EXPECT_TRUE(w.optSource[i].IsEnabled());
            EXPECT_EQ(ClientRectOf(w.optSource[i].handle()).top - frame.top,
                      TwipsToPixels(120 + 240 + 240 * static_cast<int>(i), dpi) - TwipsToPixels(120, dpi));
        }
        EXPECT_TRUE(h.dialogs.messages.empty());
    }
}

TEST_F(CopyWindowTest, ThreeDestinationsAreListedInStoredOrderWithTheFirstChosen)
{
    WriteSettings(L"[DirList]\r\nDir1=写真|C:\\Photos\r\nDir2=バックアップ|D:\\Backup\\\r\nDir3=仕事|E:\\Work\r\n");
    frmCopy& w = Open();
    EXPECT_EQ(ItemsOf(w.cboList), (std::vector<std::wstring>{L"写真", L"バックアップ", L"仕事"}));
    EXPECT_EQ(w.cboList.SelectedIndex(), 0);
    EXPECT_EQ(w.cboList.tag, L"");
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
    EXPECT_FALSE(w.optSource[2].IsVisible());
    EXPECT_EQ(ItemsOf(w.cboList), std::vector<std::wstring>{kPickFolderItem});
    EXPECT_EQ(w.cboList.tag, L"Select");
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
        dialogs.AnswerPickFolder(step.answer, [&] { openWhilePicking = w.cboList.IsDroppedDown(); });
        SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages();
        EXPECT_EQ(w.txtDir.Text(), step.expectedDir);
        EXPECT_FALSE(w.cboList.IsDroppedDown());
        EXPECT_EQ(w.cboList.Text(), kPickFolderItem);
        EXPECT_EQ(w.cboList.tag, L"Select");
        EXPECT_FALSE(openWhilePicking);
    }
    ASSERT_EQ(dialogs.folderPicks.size(), 2u);
    EXPECT_EQ(dialogs.folderPicks[0].initialFolder, L"C:\\typed");
    EXPECT_EQ(dialogs.folderPicks[0].owner, w.handle());
    EXPECT_EQ(dialogs.folderPicks[1].initialFolder, L"C:\\typed");
    EXPECT_TRUE(w.treDir.Children(nullptr).empty());
}

TEST_F(CopyWindowTest, DroppingTheListInNormalModeOnlyOpensIt)
{
    WriteSettings(L"[DirList]\r\nDir1=写真|C:\\Photos\r\nDir2=作業|C:\\Work\r\n");
    frmCopy& w = Open();
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    EXPECT_TRUE(w.cboList.IsDroppedDown());
    EXPECT_TRUE(dialogs.folderPicks.empty());
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
    const std::vector<HWND> expected = {w.optSource[0].handle(), w.optSource[2].handle(), w.cboList.handle(),
                                        w.treDir.handle(),       w.cmdSetup.handle(),     w.cmdStart.handle(),
                                        w.cmdQuit.handle(),      w.cmdInfo.handle(),      w.txtDir.handle(),
                                        w.txtSource.handle(),    w.cmdSelect.handle(),    w.optSource[0].handle()};
    w.optSource[0].Focus();
    std::vector<HWND> visited = {GetFocus()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        PressKey(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ(visited, expected);
    EXPECT_FALSE(w.optSource[0].IsChecked());  // reaching an option button does not choose it
}

TEST_F(CopyWindowTest, WindowHasTheDesignedFrameSizePositionAndIcon)
{
    frmCopy& w = Open();
    const LONG style = GetWindowLongW(w.handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(w.Dpi(), GetDpiForSystem());
    EXPECT_NE(SendMessageW(w.handle(), WM_GETICON, ICON_SMALL, 0), 0);

    wchar_t caption[32] = {};
    GetWindowTextW(w.handle(), caption, 32);
    EXPECT_STREQ(caption, L"Korvane");

    RECT window;
    GetWindowRect(w.handle(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(w.handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((window.left + window.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
}

TEST_F(CopyWindowTest, LayoutFollowsTheDesignAtEveryDpi)
{
    frmCopy& w = Open();
    struct Expected {
        HWND control;
        RECT twips;  // left, top, right, bottom in the window
    };
    const Expected controls[] = {
        {w.Frame1.handle(), {120, 120, 4212, 1572}},
        {w.Frame2.handle(), {120, 1920, 4212, 4572}},
        {w.lblBack[0].handle(), {156, 120, 4260, 1620}},
        {w.lblBack[1].handle(), {156, 1920, 4260, 4620}},
        {w.optSource[1].handle(), {480, 600, 3852, 852}},
        {w.txtSource.handle(), {360, 1200, 3612, 1464}},
        {w.cmdSelect.handle(), {3600, 1200, 3852, 1452}},
        {w.treDir.handle(), {240, 2520, 3972, 4092}},
        {w.txtDir.handle(), {240, 4200, 3972, 4464}},
        {w.cmdSetup.handle(), {120, 4800, 972, 5172}},
        {w.cmdStart.handle(), {1920, 4800, 3012, 5172}},
        {w.cmdQuit.handle(), {3120, 4800, 4212, 5172}},
        {w.cmdInfo.handle(), {480, 5280, 3972, 5532}},
    };
    for (const unsigned dpi : {96u, 144u, 192u}) {
        RECT suggested{0, 0, 0, 0};
        SendMessageW(w.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const unsigned used = w.Dpi();
        EXPECT_EQ(used, dpi);
        RECT client;
        GetClientRect(w.handle(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(4395, used));
        EXPECT_EQ(client.bottom, TwipsToPixels(5595, used));
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
        for (const Expected& c : controls) {
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c.control, WM_GETFONT, 0, 0)), sizeof(font), &font);
            EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight) << dpi;
            const RECT actual = ClientRectOf(c.control);
            EXPECT_EQ(actual.left, TwipsToPixels(c.twips.left, used));
            EXPECT_EQ(actual.top, TwipsToPixels(c.twips.top, used));
            EXPECT_EQ(actual.right, TwipsToPixels(c.twips.right, used));
            EXPECT_EQ(actual.bottom, TwipsToPixels(c.twips.bottom, used));
        }
    }
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
    EXPECT_FALSE(second.optSource[0].IsVisible());
    EXPECT_EQ(second.optSource[1].Text(), L"新しい");
}

}  // namespace
}  // namespace korvane::ui
