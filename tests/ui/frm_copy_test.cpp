#include "ui/copy/frm_copy.h"

#include <gtest/gtest.h>

#include <stdexcept>
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
    EXPECT_EQ(w.listMode(), frmCopy::ListMode::Select);
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
    const std::wstring photos = programFolder / L"写真";
    testing::filetree::MakeFolder(photos);
    testing::filetree::MakeFolder(photos + L"\\2026");
    WriteSettings(L"[DirList]\r\nDir1=写真|" + photos + L"\r\nDir2=バックアップ|" + programFolder.path() +
                  L"\\\r\nDir3=仕事|" + (programFolder / L"仕事") + L"\r\n");
    frmCopy& w = Open();
    EXPECT_EQ(ItemsOf(w.cboList), (std::vector<std::wstring>{L"写真", L"バックアップ", L"仕事"}));
    EXPECT_EQ(w.cboList.SelectedIndex(), 0);
    EXPECT_EQ(w.listMode(), frmCopy::ListMode::Normal);
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
    ASSERT_EQ(w.treDir.Children(nullptr).size(), 1u);
    EXPECT_EQ(w.treDir.NodeText(w.treDir.Children(nullptr)[0]), L"2026");
    EXPECT_TRUE(dialogs.messages.empty());
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
    EXPECT_EQ(w.listMode(), frmCopy::ListMode::Select);
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
        dialogs.AnswerPickFolder(step.answer, [&] { openWhilePicking = w.cboList.IsDroppedDown(); });
        SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
        PumpMessages();
        EXPECT_EQ(w.txtDir.Text(), step.expectedDir);
        EXPECT_FALSE(w.cboList.IsDroppedDown());
        EXPECT_EQ(w.cboList.Text(), kPickFolderItem);
        EXPECT_EQ(w.listMode(), frmCopy::ListMode::Select);
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
    WriteSettings(L"[DirList]\r\nDir1=写真|" + programFolder.path() + L"\r\nDir2=作業|C:\\\r\n");
    frmCopy& w = Open();
    SendMessageW(w.cboList.handle(), CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    EXPECT_TRUE(w.cboList.IsDroppedDown());
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

TEST_F(CopyWindowTest, CaptionsAndColoursFollowTheDesign)
{
    frmCopy& w = Open();
    const std::pair<const Control*, const wchar_t*> captions[] = {
        {&w.Frame1, L"コピー元"},    {&w.Frame2, L"保存先"},        {&w.cmdSetup, L"設定(&I)"},
        {&w.cmdStart, L"開始(&S)"}, {&w.cmdQuit, L"終了(&X)"},     {&w.cmdSelect, L"..."},
        {&w.cmdInfo, L"作者からのメッセージ"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Text(), caption);

    constexpr COLORREF kYellow = 0x00C0FFFF;
    constexpr COLORREF kGreen = 0x00C0FFC0;
    constexpr COLORREF kOrange = 0x00C0E0FF;
    // Colours a control asks its window for, as it does before it paints.
    const struct {
        const Control* control;
        UINT message;
        COLORREF expected;
    } asked[] = {
        {&w.Frame1, WM_CTLCOLORSTATIC, kGreen},      {&w.Frame2, WM_CTLCOLORSTATIC, kGreen},
        {&w.optSource[0], WM_CTLCOLORSTATIC, kGreen}, {&w.optSource[2], WM_CTLCOLORBTN, kGreen},
        {&w.txtDir, WM_CTLCOLOREDIT, kGreen},        {&w.lblBack[0], WM_CTLCOLORSTATIC, 0},
        {&w.lblBack[1], WM_CTLCOLORSTATIC, 0},        {&w.cmdSelect, WM_CTLCOLORBTN, kYellow},
    };
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 100);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    for (const auto& a : asked) {
        SCOPED_TRACE(a.control->Text());
        LOGBRUSH brush{};
        const auto answer = reinterpret_cast<HBRUSH>(SendMessageW(w.handle(), a.message, reinterpret_cast<WPARAM>(dc),
                                                                   reinterpret_cast<LPARAM>(a.control->handle())));
        ASSERT_NE(GetObjectW(answer, sizeof(brush), &brush), 0);
        EXPECT_EQ(brush.lbColor, a.expected);
        EXPECT_EQ(GetBkColor(dc), a.expected);
    }
    // Colours the window and its graphical buttons paint themselves, read back from a bitmap.
    const auto paintedColour = [&](const std::function<void(const RECT&)>& paint) {
        const RECT area{0, 0, 400, 100};
        paint(area);
        return GetPixel(dc, 5, 5);
    };
    const auto eraseWindow = [&](const RECT&) {
        SendMessageW(w.handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    };
    EXPECT_EQ(paintedColour(eraseWindow), kYellow);
    const std::pair<const Control*, COLORREF> painted[] = {
        {&w.cmdSetup, kOrange}, {&w.cmdStart, kOrange}, {&w.cmdQuit, kOrange}, {&w.cmdInfo, kYellow}};
    for (const auto& [button, colour] : painted) {
        const COLORREF face = paintedColour([&](const RECT& area) {
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_BUTTON;
            item.CtlID = static_cast<UINT>(GetDlgCtrlID(button->handle()));
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = button->handle();
            item.hDC = dc;
            item.rcItem = area;
            SendMessageW(w.handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        });
        EXPECT_EQ(face, colour) << button->Text();
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
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
