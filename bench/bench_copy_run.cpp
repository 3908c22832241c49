// The copy run (RunCopy: its look-ups, its questions answered at once, the shell's copy and its report) against
// the shell's copy alone (CopyFolder over SHFileOperationW), and the shell's copy against a plain recursive copy
// (CopyFileW over FindFirstFileExW), of the same camera-card tree: 1,000 small files and one 50 MB file. The three
// alternate, so that each meets the same cache state and machine load.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/copy/copy_folder.h"
#include "core/copy/copy_run.h"
#include "figure_table.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/question_box_answerer.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_verification.h"

namespace {

using namespace korvane::testing::filetree;

constexpr int kRounds = 5;

void PlainRecursiveCopy(const std::wstring& from, const std::wstring& to)
{
    MakeFolder(to);
    ForEachEntry(from, [&](const std::wstring& name, bool isFolder) {
        const std::wstring source = from + L"\\" + name;
        const std::wstring target = to + L"\\" + name;
        if (isFolder) {
            PlainRecursiveCopy(source, target);
        } else if (!CopyFileW(source.c_str(), target.c_str(), TRUE)) {
            throw SystemError("CopyFileW");
        }
    });
}

// The system's shell for the copy; the explorer the run offers at the end is only recorded, not opened.
class ShellWithoutExplorer : public korvane::Win32Shell {
public:
    void Explore(korvane::WindowHandle, const std::wstring&) override { ++explorations; }

    int explorations = 0;
};

void CheckComplete(const std::wstring& root, const std::vector<std::wstring>& expected)
{
    if (SortedTree(root) != expected) throw std::runtime_error("a copy is incomplete");
}

// Copies into a fresh folder, times it, checks that every entry arrived and removes the copy again.
double TimedCopy(const std::function<void(const std::wstring&)>& copy, const std::wstring& target,
                 const std::vector<std::wstring>& expected)
{
    const auto start = std::chrono::steady_clock::now();
    copy(target);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    CheckComplete(target, expected);
    RemoveTree(target);
    return elapsed.count();
}

int Run()
{
    TempFolder scratch;
    const std::wstring source = scratch.path() + L"\\カード";
    MakeFolder(source);
    BuildSampleTree(source);
    const auto expected = SortedTree(source);

    ShellWithoutExplorer shell;
    korvane::testing::QuestionBoxAnswerer answerer;  // the target is always new; this only guards a stray box
    const auto throughCopyFolder = [&](const std::wstring& target) {
        if (const int result = korvane::CopyFolder(shell, nullptr, source + L"\\*.*", target, false); result != 0)
            throw std::runtime_error("CopyFolder failed with " + std::to_string(result));
    };
    const auto plain = [&](const std::wstring& target) { PlainRecursiveCopy(source, target); };
    korvane::testing::ScriptedDialogs dialogs;
    korvane::Win32FileSystem fileSystem;
    korvane::Win32TextCodec codec(GetACP());
    korvane::testing::FixedClock clock{{2026, 12, 5}};
    korvane::testing::ContentComparer comparer{fileSystem};
    korvane::testing::ContentCopier copier{fileSystem};
    korvane::testing::InlineLongWork longWork;
    korvane::Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};
    const auto wholeRun = [&](const std::wstring& target) {
        // The run asks for the new folder's name under the destination: the name of the target.
        dialogs.AnswerPrompt(target.substr(target.rfind(L'\\') + 1));
        korvane::RunCopy(services, nullptr, scratch.path(), source);
    };

    std::vector<double> runTimes, shellTimes, plainTimes;
    for (int round = 0; round < kRounds; ++round) {
        runTimes.push_back(TimedCopy(wholeRun, scratch.path() + L"\\run", expected));
        shellTimes.push_back(TimedCopy(throughCopyFolder, scratch.path() + L"\\shell", expected));
        plainTimes.push_back(TimedCopy(plain, scratch.path() + L"\\plain", expected));
    }
    if (shell.explorations != kRounds || answerer.answeredBoxes() != 0)
        throw std::runtime_error("a copy run did not end in its report");
    std::printf("tree: %zu entries, %d small files and one file of %zu bytes; %d rounds each\n", expected.size(),
                kSampleSmallFiles, kSampleLargeFileSize, kRounds);
    const double shellMedian = korvane::bench::Median(shellTimes);
    korvane::bench::PrintFigure({"copy run around the shell's copy", korvane::bench::Median(runTimes),
                                 "CopyFolder alone", shellMedian, "ms", korvane::bench::AtMostTimes(1.05)});
    korvane::bench::PrintFigure({"the shell's copy (CopyFolder)", shellMedian, "plain recursive CopyFileW",
                                 korvane::bench::Median(plainTimes), "ms", korvane::bench::ShownOnly()});
    return 0;
}

}  // namespace

int main() { return korvane::bench::RunBenchmark("bench_copy_run", Run); }
