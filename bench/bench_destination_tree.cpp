// How long the copy window takes to show a destination with 10,000 sub-folders in its tree, against a bare
// enumeration of the same folder. Runs on a display (under Xvfb with Wine: xvfb-run -a wine ...).
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "figure_table.h"
#include "ui/window_test_support.h"

namespace {

using namespace korvane;

constexpr int kSubfolders = 10000;
constexpr int kRuns = 11;

// The folder's sub-folders as the system lists them, and nothing more.
std::vector<std::wstring> EnumerateSubfolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

}  // namespace

int main()
{
    testing::CopyWindowHarness harness;
    const testing::filetree::TempFolder disk;
    const std::wstring destination = disk.path() + L"\\大量";
    testing::filetree::MakeFolder(destination);
    for (int i = 0; i < kSubfolders; ++i)
        testing::filetree::MakeFolder(destination + L"\\フォルダ" + std::to_wstring(kSubfolders - i));
    harness.WriteSettings(L"[DirList]\r\nDir1=大量|" + destination + L"\r\n");
    ui::frmCopy& window = harness.Open();

    const std::size_t nodes = testing::Children(window.treDir, nullptr).size();
    const std::size_t listed = EnumerateSubfolders(destination).size();
    if (nodes != kSubfolders || listed != kSubfolders) {
        std::printf("expected %d sub-folders, the tree shows %zu and the enumeration finds %zu\n", kSubfolders,
                    nodes, listed);
        return 1;
    }

    std::vector<double> choices, enumerations;
    for (int run = 0; run < kRuns; ++run) {  // alternated, so that both meet the same machine load
        choices.push_back(bench::TimedMilliseconds([&] {
            window.cboList.SetSelectedIndex(0);
            testing::PumpMessages();  // the tree draws itself once the batch is over
        }));
        enumerations.push_back(bench::TimedMilliseconds([&] { EnumerateSubfolders(destination); }));
    }
    const double choice = bench::Median(choices);
    const double enumeration = bench::Median(enumerations);
    std::printf("destination with %d sub-folders, median of %d runs\n", kSubfolders, kRuns);
    std::printf("list choice (tree rebuilt, drawn): %8.1f ms\n", choice);
    std::printf("bare enumeration:                  %8.1f ms\n", enumeration);
    bench::PrintFigure({"list choice on 10,000 sub-folders (tree rebuilt and drawn)", choice, "bare enumeration",
                        enumeration, "ms", bench::AtMostTimes(3)});
    return 0;
}
