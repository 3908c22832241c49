#include "ui/dialogs/win32_dialogs.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <atomic>
#include <thread>

#include "platform/failure.h"

#include "window_test_support.h"

namespace korvane::ui {
namespace {

using testing::ModalDriver;

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

struct BoxSeen {
    std::wstring text;
    HICON icon = nullptr;
    std::vector<int> buttons;
    int defaultButton = 0;
};

BoxSeen Inspect(HWND box)
{
    BoxSeen seen;
    EnumChildWindows(box, [](HWND child, LPARAM param) {
        auto& seen = *reinterpret_cast<BoxSeen*>(param);
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) return TRUE;
        if (lstrcmpiW(className, L"Button") == 0) {
            seen.buttons.push_back(GetDlgCtrlID(child));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen.defaultButton = GetDlgCtrlID(child);
        }
        if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON && GetWindowTextLengthW(child) > 0)
            seen.text = TextOf(child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

TEST(Win32DialogsTest, MessageBoxShowsTextIconButtonsAndDefaultAndReportsTheAnswer)
{
    struct Case {
        MessageBoxSpec message;
        const wchar_t* stockIcon;  // nullptr: no icon
        std::vector<int> buttons;
        int defaultButton;
        int pressed;
        MessageAnswer answer;
    };
    const Case cases[] = {
        {{L"コピーが完了しました", MessageIcon::Information, MessageButtons::Ok, false, L"完了"},
         IDI_INFORMATION, {IDOK}, IDOK, IDOK, MessageAnswer::Ok},
        {{L"一行目\r\n\r\n結果を確認しますか？", MessageIcon::Exclamation, MessageButtons::YesNo, true, L"エラー"},
         IDI_WARNING, {IDYES, IDNO}, IDNO, IDYES, MessageAnswer::Yes},
        {{L"質問", MessageIcon::Question, MessageButtons::YesNo, false, L"作者からメッセージ"},
         IDI_QUESTION, {IDYES, IDNO}, IDYES, IDNO, MessageAnswer::No},
        {{L"コピー元の準備が出来ていません", MessageIcon::Critical, MessageButtons::RetryCancel, false, L"エラー"},
         IDI_ERROR, {IDRETRY, IDCANCEL}, IDRETRY, IDRETRY, MessageAnswer::Retry},
        {{L"ERROR: #5", MessageIcon::None, MessageButtons::Ok, false, L"ｴﾗｰ"}, nullptr, {IDOK}, IDOK, IDOK,
         MessageAnswer::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.text);
        BoxSeen seen;
        Win32Dialogs dialogs;
        ModalDriver driver(c.message.title, [&](HWND box) {
            seen = Inspect(box);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.pressed, BN_CLICKED), 0);
        });
        EXPECT_EQ(dialogs.ShowMessage(c.message), c.answer);
        ASSERT_TRUE(driver.acted());
        EXPECT_EQ(seen.text, c.message.text);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        if (c.stockIcon == nullptr) {
            EXPECT_EQ(seen.icon, nullptr);
        } else {
            EXPECT_EQ(seen.icon, LoadIconW(nullptr, c.stockIcon));
        }
    }
}

TEST(Win32DialogsTest, InputPromptGivesTheTypedTextOnOkAndEmptyTextOtherwise)
{
    struct Case {
        const wchar_t* name;
        std::function<void(HWND, HWND)> act;  // the prompt and its text box
        std::wstring expected;
    };
    const auto press = [](HWND target, WPARAM key) {
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, (1u << 30) | (1u << 31) | 1);
    };
    const Case cases[] = {
        {L"OK keeps the default", [](HWND prompt, HWND) { SendMessageW(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0); },
         L"2026_1205"},
        {L"Enter takes the edited text",
         [&](HWND, HWND edit) {
             SetWindowTextW(edit, L"旅行 2026");
             press(edit, VK_RETURN);
         },
         L"旅行 2026"},
        {L"Cancel", [](HWND prompt, HWND) { SendMessageW(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0); }, L""},
        {L"Esc", [&](HWND, HWND edit) { press(edit, VK_ESCAPE); }, L""},
        {L"close box", [](HWND prompt, HWND) { PostMessageW(prompt, WM_CLOSE, 0, 0); }, L""},
    };
    const std::wstring prompt = L"作成するフォルダの名前を入力してください\r\n（注）次の文字は使わないでください\r\n"
                                L"\u3000\u3000\\/:,;*?\"<>|";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD selection = 0;
        bool editHasFocus = false;
        std::wstring promptShown;
        std::wstring buttons;
        Win32Dialogs dialogs;
        ModalDriver driver(L"コピー", [&](HWND window) {
            HWND edit = FindWindowExW(window, nullptr, WC_EDITW, nullptr);
            editHasFocus = GetFocus() == edit;
            selection = static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0));
            promptShown = TextOf(FindWindowExW(window, nullptr, WC_STATICW, nullptr));
            buttons = TextOf(GetDlgItem(window, IDOK)) + L"/" + TextOf(GetDlgItem(window, IDCANCEL));
            c.act(window, edit);
        });
        EXPECT_EQ(dialogs.PromptInput(L"コピー", prompt, L"2026_1205"), c.expected);
        ASSERT_TRUE(driver.acted());
        EXPECT_TRUE(editHasFocus);
        EXPECT_EQ(LOWORD(selection), 0);
        EXPECT_EQ(HIWORD(selection), 9);  // the whole default text is selected
        EXPECT_EQ(promptShown, prompt);
        EXPECT_EQ(buttons, L"OK/キャンセル");
    }
}

TEST(Win32DialogsTest, FolderPickerCancelledGivesNothingAndNoError)
{
    testing::filetree::TempFolder start;
    std::wstring title;
    Win32Dialogs dialogs;
    ModalDriver driver(L"フォルダを選択してください", [&](HWND box) {
        title = TextOf(box);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    });
    const FolderPick pick = dialogs.PickFolder(nullptr, L"フォルダを選択してください", start.path());
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(pick.path, L"");
    EXPECT_FALSE(pick.errorNumber.has_value());
}

TEST(Win32DialogsTest, FolderPickerThatCannotStartReportsTheErrorNumber)
{
    // The shell's dialogs need a single-threaded apartment; a thread already in the multithreaded one
    // cannot have it.
    FolderPick pick;
    std::thread([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        pick = Win32Dialogs().PickFolder(nullptr, L"フォルダを選択してください", L"");
        CoUninitialize();
    }).join();
    EXPECT_EQ(pick.path, L"");
    EXPECT_EQ(pick.errorNumber, static_cast<int>(RPC_E_CHANGED_MODE));
}

// The wait of the copy run's look for earlier copies, over the copy window: the window shows the wait cursor, takes
// neither the keyboard nor the mouse (its start button would begin a second run), and Esc stops the work.
TEST(Win32DialogsTest, WaitForShowsTheWaitCursorIgnoresInputAndStopsOnEsc)
{
    for (const bool pressEsc : {false, true}) {
        SCOPED_TRACE(pressEsc ? "Esc" : "the work ends");
        testing::CopyWindowHarness h;
        testing::filetree::MakeFolder(h.programFolder / L"card");
        testing::filetree::MakeFolder(h.programFolder / L"photos");
        frmCopy& w = h.Open();
        w.txtSource.SetText(h.programFolder / L"card");
        w.txtDir.SetText(h.programFolder / L"photos");
        std::atomic<bool> release{false};
        HCURSOR cursorWhileWaiting = nullptr;
        ModalDriver driver(L"Korvane", [&](HWND) {
            cursorWhileWaiting = GetCursor();
            if (!pressEsc) {
                release = true;
                return;
            }
            // Handled in this order, before the Esc that ends the wait.
            PostMessageW(GetFocus(), WM_SYSCHAR, L's', (1 << 29) | 1);  // Alt+S, the start button's access key
            PostMessageW(w.cmdStart.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(w.cmdStart.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        });
        bool stopSeen = false;
        const bool finished = Win32Dialogs().WaitFor(w.handle(), [&](std::stop_token stop) {
            while (!stop.stop_requested() && !release) Sleep(5);
            stopSeen = stop.stop_requested();
        });
        testing::PumpMessages();

        EXPECT_TRUE(driver.acted());
        EXPECT_EQ(finished, !pressEsc);
        EXPECT_EQ(stopSeen, pressEsc);
        EXPECT_EQ(cursorWhileWaiting, LoadCursorW(nullptr, IDC_WAIT));
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_TRUE(h.dialogs.prompts.empty());  // neither Alt+S nor the click started a run
    }
}

TEST(Win32DialogsTest, WaitForThrowsWhatTheWorkThrew)
{
    EXPECT_THROW(Win32Dialogs().WaitFor(nullptr, [](std::stop_token) { throw Failure(70); }), Failure);
    EXPECT_TRUE(Win32Dialogs().WaitFor(nullptr, [](std::stop_token) {}));
}

TEST(Win32DialogsTest, FilterAndErrorNumbersAreConverted)
{
    using namespace std::string_literals;
    EXPECT_EQ(CommonDialogFilter(L"設定ファイル(*.ini)|*.ini|すべて|*.*"),
              L"設定ファイル(*.ini)\0*.ini\0すべて\0*.*\0\0"s);
    EXPECT_EQ(CommonDialogFilter(L""), L"");
    EXPECT_EQ(ErrorNumberOf(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)), 5);
    EXPECT_EQ(ErrorNumberOf(E_FAIL), -2147467259);
}

}  // namespace
}  // namespace korvane::ui
