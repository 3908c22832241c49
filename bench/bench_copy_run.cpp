// How the copy run's shell copy (CopyFolder over SHFileOperationW) compares with a plain recursive copy
// (CopyFileW over FindFirstFileExW) of the same camera-card tree: 1,000 small files and one 50 MB file.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/copy_folder.h"
#include "platform/win32/win32_shell.h"
#include "support/file_tree.h"
#include "support/question_box_answerer.h"

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

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

    korvane::Win32Shell shell;
    korvane::testing::QuestionBoxAnswerer answerer;  // the target is always new; this only guards a stray box
    const auto throughCopyFolder = [&](const std::wstring& target) {
        if (const int result = korvane::CopyFolder(shell, nullptr, source + L"\\*.*", target, false); result != 0)
            throw std::runtime_error("CopyFolder failed with " + std::to_string(result));
    };
    const auto plain = [&](const std::wstring& target) { PlainRecursiveCopy(source, target); };

    std::vector<double> shellTimes;
    std::vector<double> plainTimes;
    for (int round = 0; round < kRounds; ++round) {  // alternated, so that both meet the same cache state
        shellTimes.push_back(TimedCopy(throughCopyFolder, scratch.path() + L"\\shell", expected));
        plainTimes.push_back(TimedCopy(plain, scratch.path() + L"\\plain", expected));
    }
    const double shellMedian = Median(shellTimes);
    const double plainMedian = Median(plainTimes);
    std::printf("tree: %zu entries, %d small files and one file of %zu bytes; %d rounds each\n", expected.size(),
                kSampleSmallFiles, kSampleLargeFileSize, kRounds);
    std::printf("CopyFolder (SHFileOperationW): median %.1f ms\n", shellMedian);
    std::printf("plain recursive CopyFileW:     median %.1f ms\n", plainMedian);
    std::printf("ratio CopyFolder / plain:      %.2f\n", shellMedian / plainMedian);
    std::printf("question boxes answered: %d\n", answerer.answeredBoxes());
    return 0;
}

}  // namespace

int main()
{
    try {
        return Run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_copy_run: %s\n", failure.what());
        return 1;
    }
}
