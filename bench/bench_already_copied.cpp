// The look for earlier copies (FindEarlierCopies over the real file system) of a card of 2,000 files against a
// destination of 100 earlier folders of 2,000 files each, against a bare enumeration of the same folders with
// FindFirstFileExW (FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH). The two alternate. The folders are made under
// the folder given as the first argument (the system's temporary folder without one) and removed afterwards.
//   bench_already_copied [folder]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/earlier_copies/already_copied.h"
#include "core/plan/copy_plan.h"
#include "figure_table.h"
#include "platform/win32/win32_file_system.h"
#include "support/file_tree.h"

namespace {

using namespace korvane::testing::filetree;

constexpr int kCardFolders = 4;  // DCIM\100KORVA to 103KORVA
constexpr int kFilesPerCardFolder = 500;
constexpr int kEarlierFolders = 100;
constexpr int kRounds = 5;

// A folder of its own below `parent`, removed with everything in it when the benchmark ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& parent)
        : path_(parent + L"\\korvane_bench_copied_" + std::to_wstring(GetCurrentProcessId()))
    {
        MakeFolder(path_);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

// A card's worth of files of 0 or 1 byte: only names, sizes and times count.
void BuildCard(const std::wstring& root)
{
    MakeFolder(root);
    MakeFolder(root + L"\\DCIM");
    for (int folder = 0; folder < kCardFolders; ++folder) {
        const std::wstring path = root + L"\\DCIM\\" + std::to_wstring(100 + folder) + L"KORVA";
        MakeFolder(path);
        for (int i = 0; i < kFilesPerCardFolder; ++i)
            WriteBytes(path + L"\\IMG_" + std::to_wstring(1000 + folder * kFilesPerCardFolder + i) + L".JPG",
                       i % 2 ? "x" : "");
    }
}

// Every entry below `folder`, counted: the listing the look cannot do without.
std::size_t BareEnumeration(const std::wstring& folder)
{
    std::size_t entries = 0;
    WIN32_FIND_DATAW data{};
    const korvane::UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid()) return 0;
    do {
        if (data.cFileName[0] == L'.' && (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0)))
            continue;
        ++entries;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) entries += BareEnumeration(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

std::wstring TemporaryFolder()
{
    wchar_t path[MAX_PATH + 1]{};
    if (GetTempPathW(MAX_PATH + 1, path) == 0) throw SystemError("GetTempPathW");
    std::wstring folder = path;
    if (folder.back() == L'\\') folder.pop_back();
    return folder;
}

int Run(const std::wstring& parent)
{
    const ScratchFolder scratch(parent);
    const std::wstring card = scratch.path() + L"\\card";
    const std::wstring photos = scratch.path() + L"\\photos";
    BuildCard(card);
    MakeFolder(photos);
    for (int i = 0; i < kEarlierFolders; ++i) BuildCard(photos + L"\\2026_" + std::to_wstring(1000 + i));

    const korvane::Win32FileSystem files;
    std::vector<double> looks, enumerations;
    std::size_t copied = 0, entries = 0;
    for (int round = 0; round < kRounds; ++round) {
        looks.push_back(korvane::bench::TimedMilliseconds([&] {
            // The card's listing as the run makes it, then the look itself: the same folders as the bare listing.
            const auto found = korvane::FindEarlierCopies(files, *korvane::ListCard(files, card, {}), photos, {});
            copied = found ? found->copiedFiles + found->newFiles.size() : 0;
        }));
        enumerations.push_back(korvane::bench::TimedMilliseconds(
            [&] { entries = BareEnumeration(card) + BareEnumeration(photos); }));
    }
    const int cardFiles = kCardFolders * kFilesPerCardFolder;
    if (copied != static_cast<std::size_t>(cardFiles)) throw std::runtime_error("the look did not see the whole card");
    std::printf("card of %d files, %d earlier folders of as many; %zu entries listed; %d rounds each\n", cardFiles,
                kEarlierFolders, entries, kRounds);
    korvane::bench::PrintFigure({"look for earlier copies (2,000 files, 100 folders of 2,000)",
                                 korvane::bench::Median(looks), "bare FindFirstFileExW listing",
                                 korvane::bench::Median(enumerations), "ms",
                                 korvane::bench::Both(korvane::bench::AtMostTimes(1.5),
                                                      korvane::bench::AtMost(1000, "ms"))});
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    return korvane::bench::RunBenchmark("bench_already_copied",
                                        [&] { return Run(argc > 1 ? std::wstring(argv[1]) : TemporaryFolder()); });
}
