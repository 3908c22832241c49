#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "core/copy/copy_folder.h"
#include "platform/failure.h"
#include "platform/win32/win32_shell.h"
#include "support/file_tree.h"
#include "support/question_box_answerer.h"

namespace korvane {
namespace {

using namespace testing::filetree;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A plain hidden window standing for the copy window, owner of the shell's boxes.
UniqueWindow MakeOwnerWindow()
{
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
}

class ShellCopyTest : public ::testing::Test {
protected:
    TempFolder scratch;
    const std::wstring source = scratch.path() + L"\\カード";
    const std::wstring destination = scratch.path() + L"\\保存先";
    UniqueWindow owner = MakeOwnerWindow();
    Win32Shell shell;
};

TEST_F(ShellCopyTest, CopiesAWholeTreeIntoADatedFolderThatTheShellCreates)
{
    MakeFolder(source);
    BuildSampleTree(source);
    MakeFolder(destination);
    const std::wstring target = destination + L"\\2027_0302";

    testing::QuestionBoxAnswerer answerer;  // presses the default button of any question, should one come
    const int result = CopyFolder(shell, owner.get(), source + L"\\*.*", target, false);
    const int questions = answerer.answeredBoxes();

    EXPECT_EQ(result, 0);
    EXPECT_EQ(questions, 0);  // the shell creates the dated folder without asking
    const auto copied = SortedTree(target);
    ASSERT_EQ(copied, SortedTree(source));
    EXPECT_EQ(FilesThatDiffer(source, target), std::vector<std::wstring>{});
    EXPECT_EQ(std::count_if(copied.begin(), copied.end(), [](const auto& e) { return e.back() != L'\\'; }),
              kSampleSmallFiles + 1);
}

TEST_F(ShellCopyTest, ACancelledReplaceQuestionReportsTheCopyAsFailed)
{
    MakeFolder(source);
    WriteBytes(source + L"\\写真.jpg", SampleBytes(1000, 1));
    MakeFolder(destination);
    WriteBytes(destination + L"\\写真.jpg", SampleBytes(10, 2));

    testing::QuestionBoxAnswerer answerer(IDCANCEL);
    const ShellCopyOutcome outcome = shell.CopyFiles(owner.get(), source + L"\\*.*", destination, CopyCollision::Ask);
    EXPECT_EQ(answerer.answeredBoxes(), 1);
    EXPECT_TRUE(outcome.operationsAborted);

    // Through the run's copy: the one question again, and the system's "cancelled by the user" result.
    EXPECT_EQ(CopyFolder(shell, owner.get(), source + L"\\*.*", destination, false), 1223);
    EXPECT_EQ(answerer.answeredBoxes(), 2);
    EXPECT_EQ(ReadBytes(destination + L"\\写真.jpg"), SampleBytes(10, 2));
}

TEST_F(ShellCopyTest, APathHoldingANulIsABadFileNameAndCopiesNothing)
{
    MakeFolder(source);
    WriteBytes(source + L"\\a.txt", "a");
    MakeFolder(destination);
    const std::wstring splitFrom = source + L"\\a.txt" + std::wstring(1, L'\0') + source;
    try {
        shell.CopyFiles(owner.get(), splitFrom, destination, CopyCollision::Ask);
        ADD_FAILURE() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), failure_code::kBadFileName);
    }
    EXPECT_TRUE(ListTree(destination).empty());
}

}  // namespace
}  // namespace korvane
