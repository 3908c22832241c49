// How the program's windows follow each other: the settings button, the password dialog, the settings window's
// Cancel and close box, and the end of the program.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "program_test_support.h"
#include "ui/password/frm_password.h"

namespace korvane::ui {
namespace {

using testing::Click;
using testing::IsShown;
using testing::ModalDriver;
using testing::ProgramHarness;
using testing::PumpMessages;

constexpr const wchar_t* kPasswordTitle = L"パスワードを入力してください";

class ProgramLifetimeTest : public ::testing::Test, protected ProgramHarness {};

HWND PasswordBoxOf(HWND dialog) { return FindWindowExW(dialog, nullptr, L"Edit", nullptr); }

// Types the whole text into the dialog's password box, replacing what it held.
void TypePassword(HWND dialog, const std::wstring& text)
{
    SendMessageW(PasswordBoxOf(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    testing::TypeInto(PasswordBoxOf(dialog), text);
}

std::wstring PasswordBoxText(HWND dialog)
{
    wchar_t text[256] = {};
    GetWindowTextW(PasswordBoxOf(dialog), text, 256);
    return text;
}

void PressIn(HWND dialog, WPARAM key)
{
    SetFocus(PasswordBoxOf(dialog));
    testing::PressKey(key);
}

TEST_F(ProgramLifetimeTest, WithoutPasswordSettingsReplaceTheCopyWindowAndCancelBringsAFreshOne)
{
    WriteSettings(L"[SourceList]\r\nSource1=カード|E:\\DCIM\r\n");
    frmCopy& copy = OpenCopyWindow();
    Click(copy.cmdSetup);
    EXPECT_EQ(windows.copyWindow(), nullptr);
    frmSetup* setup = windows.settingsWindow();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(IsWindowVisible(setup->handle()));
    EXPECT_EQ(setup->txtName[0].Text(), L"カード");

    WriteSettings(L"[SourceList]\r\nSource2=別のカード|F:\\\r\n");  // as another copy of the program saved it
    Click(setup->cmdCancel);
    EXPECT_EQ(windows.settingsWindow(), nullptr);
    ASSERT_NE(windows.copyWindow(), nullptr);
    EXPECT_FALSE(IsShown(windows.copyWindow()->optSource[0]));
    EXPECT_EQ(windows.copyWindow()->optSource[1].Text(), L"別のカード");
}

TEST_F(ProgramLifetimeTest, EscInTheSettingsWindowIsCancel)
{
    frmSetup& setup = OpenSettingsWindow();
    SetFocus(setup.txtListName.handle());
    testing::PressKey(VK_ESCAPE);
    EXPECT_EQ(windows.settingsWindow(), nullptr);
    EXPECT_NE(windows.copyWindow(), nullptr);
}

TEST_F(ProgramLifetimeTest, TheLastWindowClosingEndsTheProgram)
{
    struct Case {
        const char* name;
        std::function<void(ProgramHarness&)> close;
    };
    const Case cases[] = {
        {"copy window's close box",
         [](ProgramHarness& h) { PostMessageW(h.windows.copyWindow()->handle(), WM_CLOSE, 0, 0); }},
        {"quit button",
         [](ProgramHarness& h) { PostMessageW(h.windows.copyWindow()->cmdQuit.handle(), BM_CLICK, 0, 0); }},
        {"settings window's close box",
         [](ProgramHarness& h) {
             SendMessageW(h.windows.copyWindow()->cmdSetup.handle(), BM_CLICK, 0, 0);
             PostMessageW(h.windows.settingsWindow()->handle(), WM_CLOSE, 0, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramHarness h;
        // The program's own loop runs; the closing comes from inside it, once the copy window shows.
        ModalDriver driver(L"Korvane", [&](HWND) { c.close(h); });
        EXPECT_EQ(h.windows.Run(), 0);
        EXPECT_TRUE(driver.acted());
        EXPECT_FALSE(h.windows.AnyWindowOpen());
        PumpMessages();  // the quit message the quit button leaves
    }
}

TEST_F(ProgramLifetimeTest, ThroughThePasswordTheSettingsReplaceTheCopyWindowAndANewPasswordCountsAtOnce)
{
    WriteSettings(L"[Password]\r\nPassword=old\r\n");
    frmCopy& copy = OpenCopyWindow();
    {
        ModalDriver driver(kPasswordTitle, [](HWND dialog) {
            TypePassword(dialog, L"typed");
            PressIn(dialog, VK_ESCAPE);
        });
        Click(copy.cmdSetup);
    }
    {
        ModalDriver driver(kPasswordTitle, [](HWND dialog) {
            EXPECT_EQ(PasswordBoxText(dialog), L"") << "a fresh dialog after Cancel";
            TypePassword(dialog, L"old");
            PressIn(dialog, VK_RETURN);
        });
        Click(copy.cmdSetup);
    }
    frmSetup* setup = windows.settingsWindow();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(windows.copyWindow(), nullptr);
    testing::ClearBox(setup->txtPassword.handle());
    testing::TypeInto(setup->txtPassword.handle(), L"new");
    Click(setup->cmdOK);
    ASSERT_NE(windows.copyWindow(), nullptr);
    EXPECT_EQ(settings.password, L"new") << "the fresh copy window read the saved password";
}

struct PasswordCase {
    const char* name;
    // Acts in the open dialog; returns when the dialog is closed or left waiting.
    std::function<void(HWND dialog, std::vector<std::wstring>& seen)> act;
    bool settingsOpen;
    std::vector<std::wstring> expectedSeen;  // the password box's text after each refusal, and notes
    std::size_t refusals;    friend void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }
};

class PasswordDialogTest : public ProgramLifetimeTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordDialogTest, OpensTheSettingsOnlyForTheExactPassword)
{
    const PasswordCase& c = GetParam();
    WriteSettings(L"[Password]\r\nPassword=Pass word\r\n[DirList]\r\nDir1=写真|C:\\\r\n");
    frmCopy& copy = OpenCopyWindow();
    std::vector<std::wstring> seen;
    {
        ModalDriver driver(kPasswordTitle, [&](HWND dialog) {
            EXPECT_EQ(PasswordBoxText(dialog), L"") << "every opening starts empty";
            EXPECT_FALSE(IsWindowEnabled(copy.handle())) << "the copy window waits";
            c.act(dialog, seen);
        });
        Click(copy.cmdSetup);
        EXPECT_TRUE(driver.acted());
    }
    EXPECT_EQ(seen, c.expectedSeen);
    EXPECT_EQ(dialogs.messages.size(), c.refusals);
    for (const MessageBoxSpec& box : dialogs.messages) {
        EXPECT_EQ(box.text, L"パスワードが違います");
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.title, L"エラー");
    }
    EXPECT_EQ(windows.settingsWindow() != nullptr, c.settingsOpen);
    EXPECT_EQ(windows.copyWindow() == nullptr, c.settingsOpen) << "the copy window closes for the settings";
    if (!c.settingsOpen) {
        EXPECT_TRUE(IsWindowEnabled(windows.copyWindow()->handle()));
    }
}

const auto kTryThenEsc = [](std::wstring typed) {
    return [typed](HWND dialog, std::vector<std::wstring>& seen) {
        TypePassword(dialog, typed);
        PressIn(dialog, VK_RETURN);
        seen.push_back(PasswordBoxText(dialog));
        PressIn(dialog, VK_ESCAPE);
    };
};

INSTANTIATE_TEST_SUITE_P(
    Attempts, PasswordDialogTest,
    ::testing::Values(
        PasswordCase{"OtherCaseIsRefused", kTryThenEsc(L"pass word"), false, {L"pass word"}, 1},
        PasswordCase{"ExtraBlankIsRefused", kTryThenEsc(L"Pass word "), false, {L"Pass word "}, 1},
        PasswordCase{"FullWidthIsRefused", kTryThenEsc(L"Ｐass word"), false, {L"Ｐass word"}, 1},
        PasswordCase{"EmptyIsRefused", kTryThenEsc(L""), false, {L""}, 1},
        PasswordCase{"EnterWithTheRightOneOpensTheSettings",
                     [](HWND dialog, auto&) {
                         TypePassword(dialog, L"Pass word");
                         PressIn(dialog, VK_RETURN);
                     },
                     true, {}, 0},
        PasswordCase{"RightAfterARefusal",
                     [](HWND dialog, auto& seen) {
                         TypePassword(dialog, L"Pass");
                         PressIn(dialog, VK_RETURN);
                         seen.push_back(PasswordBoxText(dialog));
                         TypePassword(dialog, L"Pass word");
                         SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
                         PumpMessages();
                     },
                     true, {L"Pass"}, 1},
        PasswordCase{"CloseBoxIsCancel",
                     [](HWND dialog, auto&) {
                         TypePassword(dialog, L"Pass word");
                         SendMessageW(dialog, WM_CLOSE, 0, 0);
                     },
                     false, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane::ui
