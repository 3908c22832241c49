// The look for earlier copies against real folders, with its questions as the real message boxes answered from
// the keyboard, and the shell's real copy of only the new files.
#include <gtest/gtest.h>

#include "core/copy/copy_run.h"
#include "platform/win32/win32_shell.h"
#include "ui/dialogs/win32_dialogs.h"
#include "window_test_support.h"

namespace korvane {
namespace {

using namespace testing::filetree;

// The run's questions (titled "コピー") and its wait are the real ones; the name prompt and the reports are
// scripted and recorded.
class RealQuestions : public testing::ScriptedDialogs {
public:
    MessageAnswer ShowMessage(const MessageBoxSpec& message) override
    {
        if (message.title != L"コピー") return ScriptedDialogs::ShowMessage(message);
        questions.push_back(message.text);
        return real_.ShowMessage(message);
    }
    bool WaitFor(WindowHandle owner, const std::function<void(std::stop_token)>& work) override
    {
        return real_.WaitFor(owner, work);
    }

    std::vector<std::wstring> questions;

private:
    ui::Win32Dialogs real_;
};

class ShellWithoutExplorer : public Win32Shell {
public:
    void Explore(WindowHandle, const std::wstring&) override {}
};

// A key as the keyboard gives it to the box's focused button: Enter and Esc as keys, letters as characters.
void Press(wchar_t key)
{
    HWND focus = GetFocus();
    if (key == VK_RETURN || key == VK_ESCAPE) {
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, (1u << 30) | (1u << 31) | 1);
    } else {
        PostMessageW(focus, WM_CHAR, key, 1);
    }
}

// A card of five files in nested folders with Japanese names; an earlier copy of three of them, one of which
// was written an hour off (a daylight-saving change) and one replaced by another picture of the same name.
class AlreadyCopiedWithRealFolders : public ::testing::Test {
protected:
    AlreadyCopiedWithRealFolders()
    {
        MakeFolder(card);
        MakeFolder(card + L"\\DCIM");
        MakeFolder(card + L"\\DCIM\\100_旅行");
        MakeFolder(card + L"\\MISC");
        WriteBytes(card + L"\\DCIM\\100_旅行\\写真_0001.JPG", SampleBytes(5000, 1));
        WriteBytes(card + L"\\DCIM\\100_旅行\\写真_0002.JPG", SampleBytes(6000, 2));
        WriteBytes(card + L"\\DCIM\\100_旅行\\ポスター.JPG", SampleBytes(7000, 3));
        WriteBytes(card + L"\\DCIM\\IMG_0004.JPG", SampleBytes(8000, 4));
        WriteBytes(card + L"\\MISC\\メモ.txt", "旅行のメモ");
        MakeFolder(photos);
        MakeFolder(earlier);
        MakeFolder(earlier + L"\\DCIM");
        MakeFolder(earlier + L"\\DCIM\\100_旅行");
        CopyOnce(L"DCIM\\100_旅行\\写真_0001.JPG");
        CopyOnce(L"DCIM\\100_旅行\\写真_0002.JPG");
        ShiftWriteTime(earlier + L"\\DCIM\\100_旅行\\写真_0002.JPG", 3600);
        WriteBytes(earlier + L"\\DCIM\\100_旅行\\ポスター.JPG", SampleBytes(7001, 5));
    }

    void CopyOnce(const std::wstring& relative)
    {
        if (!CopyFileW((card + L"\\" + relative).c_str(), (earlier + L"\\" + relative).c_str(), TRUE))
            throw SystemError("CopyFileW");
    }
    static void ShiftWriteTime(const std::wstring& path, int seconds)
    {
        const UniqueFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                                nullptr));
        FILETIME written{};
        GetFileTime(file.get(), nullptr, nullptr, &written);
        ULARGE_INTEGER time{{written.dwLowDateTime, written.dwHighDateTime}};
        time.QuadPart += static_cast<ULONGLONG>(seconds) * 10'000'000ull;
        written = {time.LowPart, time.HighPart};
        SetFileTime(file.get(), nullptr, nullptr, &written);
    }

    // Starts a run with the option on; `key` answers the question box.
    void Run(wchar_t key)
    {
        dialogs.AnswerPrompt(L"2027_0302");
        testing::ModalDriver driver(L"コピー", [key](HWND) { Press(key); });
        RunCopy(services, nullptr, photos + L"\\", card, {.skipCopied = true});
        EXPECT_TRUE(driver.acted());
    }

    std::vector<std::wstring> Reports() const
    {
        std::vector<std::wstring> texts;
        for (const auto& box : dialogs.messages) texts.push_back(box.text);
        return texts;
    }

    TempFolder scratch;
    const std::wstring card = scratch / L"カード";
    const std::wstring photos = scratch / L"写真";
    const std::wstring earlier = photos + L"\\2027_0301";
    const std::wstring target = photos + L"\\2027_0302";

    Win32FileSystem files;
    Win32TextCodec codec{932};
    RealQuestions dialogs;
    ShellWithoutExplorer shell;
    testing::FixedClock clock{{2027, 3, 2}};
    testing::ContentComparer comparer{files};
    testing::ContentCopier copier{files};
    testing::InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, copier, longWork};
};

const std::wstring kSomeCopiedQuestionStart = L"5 個のファイルのうち 2 個はコピー済みです。";

TEST_F(AlreadyCopiedWithRealFolders, EnterOnTheQuestionCopiesExactlyTheNewFilesAtTheirPaths)
{
    Run(VK_RETURN);

    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].starts_with(kSomeCopiedQuestionStart + L"\r\n" + earlier + L"\r\n"));
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"コピーが完了しました\r\nコピー済みの 2 個のファイルは除きました"});
    EXPECT_EQ(SortedTree(target), (std::vector<std::wstring>{L"DCIM\\", L"DCIM\\100_旅行\\", L"DCIM\\100_旅行\\ポスター.JPG",
                                                             L"DCIM\\IMG_0004.JPG", L"MISC\\", L"MISC\\メモ.txt"}));
    for (const wchar_t* file : {L"DCIM\\100_旅行\\ポスター.JPG", L"DCIM\\IMG_0004.JPG", L"MISC\\メモ.txt"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ReadBytes(target + L"\\" + file), ReadBytes(card + L"\\" + file));
    }
}

TEST_F(AlreadyCopiedWithRealFolders, NCopiesEverythingAndEscEndsTheRun)
{
    Run(L'n');
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"コピーが完了しました"});
    EXPECT_EQ(SortedTree(target), SortedTree(card));
    EXPECT_EQ(FilesThatDiffer(card, target), std::vector<std::wstring>{});

    RemoveTree(target);
    dialogs = {};
    Run(VK_ESCAPE);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].starts_with(kSomeCopiedQuestionStart));
    EXPECT_TRUE(Reports().empty());
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(AlreadyCopiedWithRealFolders, ACardCopiedInFullAsksAgainAndEnterKeepsNo)
{
    RemoveTree(earlier);
    MakeFolder(earlier);
    for (const auto& entry : SortedTree(card)) {
        if (entry.back() == L'\\') {
            MakeFolder(earlier + L"\\" + entry.substr(0, entry.size() - 1));
        } else {
            CopyOnce(entry);
        }
    }
    const std::wstring question = L"このカードのファイルはすべてコピー済みです。\r\n" + earlier +
                                  L"\r\n\r\nもう一度コピーしますか？";

    Run(VK_RETURN);
    EXPECT_EQ(dialogs.questions, std::vector<std::wstring>{question});
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);

    dialogs = {};
    Run(L'y');
    EXPECT_EQ(dialogs.questions, std::vector<std::wstring>{question});
    EXPECT_EQ(Reports(), std::vector<std::wstring>{L"コピーが完了しました"});
    EXPECT_EQ(FilesThatDiffer(card, target), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace korvane
