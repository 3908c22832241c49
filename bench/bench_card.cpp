// The verified copy from an emulated card (tests/support/card_emulator.py, which scripts/bench.sh mounts at a rate
// of a common card), timed against a bare read of the same files through the same card in the same run, the card's
// own time, and how many bytes each copy reads from the card for each byte it holds (exact, from the emulator's
// counters). Two folders of the card, each against its own bare read:
// - pictures and films of mixed sizes, about 1 GiB in 200 files: the shell's copy, then the pass (shown only), and
//   the program's own copy with its check, into one folder and into two (with a backup);
// - 20,000 small files: the own copy with its check into one folder, where what each file costs shows.
// One round each for the pictures: the card's rate sets their times, and a round takes minutes. The small files
// take the median of three rounds, the bare read and the copy alternating: what a file costs the system sets
// their times, and single rounds of them ranged over a fifth on a two-core machine.
//   bench_card <the card's rate in MB/s> <pictures folder> <small files folder> <the card's control folder>
//              <destination folder>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/verify/verify_pass.h"
#include "counted_copy.h"
#include "figure_table.h"
#include "pass_services.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_unbuffered.h"
#include "support/file_tree.h"

namespace {

using namespace korvane;

// The bytes the card has served so far: the sum of the emulator's counters, a line per read.
double CardBytesRead(const std::wstring& control)
{
    std::ifstream counters(std::filesystem::path(control + L"\\counters"));
    if (!counters) throw std::runtime_error("the card's counters cannot be read");
    double total = 0, bytes = 0;
    std::string path;
    while (counters >> bytes >> path) total += bytes;
    return total;
}

// Every file below the folder `relative` of `root` ("" for the root), by its path below `root`, with its size.
void ListFiles(const std::wstring& root, const std::wstring& relative, std::vector<VerifyItem>& files)
{
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle find(
        FindFirstFileW((root + (relative.empty() ? L"" : L"\\" + relative) + L"\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(root, path, files);
        else
            files.push_back({path, (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (FindNextFileW(find.get(), &found));
}

// The card's files as the own copy's entries: each folder once, before the first file below it.
std::vector<CopyEntry> CopyEntries(const std::wstring& card, const std::vector<VerifyItem>& files)
{
    std::vector<CopyEntry> entries;
    std::set<std::wstring> folders;
    for (const VerifyItem& file : files) {
        for (auto slash = file.relativePath.find(L'\\'); slash != std::wstring::npos;
             slash = file.relativePath.find(L'\\', slash + 1)) {
            const std::wstring folder = file.relativePath.substr(0, slash);
            if (folders.insert(folder).second) entries.push_back({card + L"\\" + folder, folder, true, 0});
        }
        entries.push_back({card + L"\\" + file.relativePath, file.relativePath, false, file.size});
    }
    return entries;
}

// A folder of the card, with what its rows copy.
struct CardFolder {
    std::wstring path;
    std::vector<VerifyItem> files;   // below `path`, with their sizes
    std::vector<CopyEntry> entries;  // the own copy's
    double bytes = 0;
    std::string name;  // its file count and size, for the rows
};

CardFolder ListCardFolder(const std::wstring& path)
{
    CardFolder folder;
    folder.path = path;
    ListFiles(path, L"", folder.files);
    if (folder.files.empty()) throw std::runtime_error("a card folder holds no file");
    folder.entries = CopyEntries(path, folder.files);
    for (const VerifyItem& file : folder.files) folder.bytes += static_cast<double>(file.size);
    char name[64];
    std::snprintf(name, sizeof name, "%zu files (%.0f MiB)", folder.files.size(), folder.bytes / (1 << 20));
    folder.name = name;
    return folder;
}

// What one timed action did: its milliseconds and the bytes it read from the card.
struct CardRun {
    double ms = 0;
    double cardBytes = 0;
};

constexpr int kSmallFilesRounds = 3;

CardRun Measured(const std::wstring& control, const std::function<void()>& action)
{
    const double before = CardBytesRead(control);
    const double ms = bench::TimedMilliseconds(action);
    return {ms, CardBytesRead(control) - before};
}

// The card's own time: each file read once, in blocks of the comparer's size, past the cache.
CardRun ReadBare(const CardFolder& folder, const std::wstring& control)
{
    constexpr DWORD kBlock = Win32FileComparer::kBlockSize;
    const UniquePages block = AllocatePages(kBlock);
    const CardRun run = Measured(control, [&] {
        for (const VerifyItem& file : folder.files) {
            const UniqueFileHandle read(CreateFileW((folder.path + L"\\" + file.relativePath).c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                    FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            DWORD got = 0;
            while (read && ReadFile(read.get(), block.get(), kBlock, &got, nullptr) && got > 0) {
            }
        }
    });
    if (run.cardBytes != folder.bytes) throw std::runtime_error("the bare read missed bytes");
    return run;
}

// The own copy with its check of `folder` into `targets`, which are removed afterwards.
CardRun CopyOwn(FileCopier& copier, const CardFolder& folder, const std::vector<std::wstring>& targets,
                const std::wstring& control)
{
    bench::CountedCopy progress;
    const CardRun run = Measured(control, [&] {
        if (copier.Copy({folder.entries, targets, true}, progress, {}).end != CopyEnd::Finished ||
            progress.wholeEntries != folder.entries.size())
            throw std::runtime_error("the own copy did not copy every file whole");
    });
    for (const std::wstring& target : targets) testing::filetree::RemoveTree(target);
    return run;
}

// The median time of `rounds` runs of each action, alternating, with the most card bytes a run of it read.
std::pair<CardRun, CardRun> MedianRuns(int rounds, const std::function<CardRun()>& first,
                                       const std::function<CardRun()>& second)
{
    std::vector<double> firstMs, secondMs;
    std::pair<CardRun, CardRun> medians;
    const auto take = [](const CardRun& run, std::vector<double>& times, CardRun& median) {
        times.push_back(run.ms);
        median.cardBytes = std::max(median.cardBytes, run.cardBytes);
    };
    for (int round = 0; round < rounds; ++round) {
        take(first(), firstMs, medians.first);
        take(second(), secondMs, medians.second);
    }
    medians.first.ms = bench::Median(firstMs);
    medians.second.ms = bench::Median(secondMs);
    return medians;
}

// The shell's copy of `folder` into `copy` alone, and followed by the pass over it; the copy is removed afterwards.
struct ShellCopy {
    CardRun copied;
    CardRun verified;
};

ShellCopy CopyByShellThenPass(const Services& services, const CardFolder& folder, const std::wstring& copy,
                              const std::wstring& control)
{
    Win32Shell shell;
    // Made first, as the program makes it: the shell would copy a card folder of one entry as the new folder itself.
    testing::filetree::MakeFolder(copy);
    const CardRun copied = Measured(control, [&] {
        if (shell.CopyFiles(nullptr, folder.path + L"\\*", copy, CopyCollision::Ask).result != 0)
            throw std::runtime_error("the shell's copy failed");
    });
    const VerifyPlan plan = PlanVerification(folder.path, copy, folder.files);
    const CardRun passed = Measured(control, [&] {
        const VerifyOutcome outcome = VerifyCopy(services, nullptr, plan);
        if (!outcome.problems.empty() || outcome.cancelled) throw std::runtime_error("the pass found a difference");
    });
    testing::filetree::RemoveTree(copy);
    return {copied, {copied.ms + passed.ms, copied.cardBytes + passed.cardBytes}};
}

// The two rows of a copy of one card folder: the bytes it read from the card per byte on it (read once at most
// when `once`), and its time against the folder's bare read.
class CardRows {
public:
    CardRows(const CardFolder& folder, const CardRun& bare, double rate) : folder_(folder), bare_(bare)
    {
        char from[48];
        std::snprintf(from, sizeof from, " from a card of %g MB/s", rate);
        from_ = from;
    }

    void Print(const std::string& copy, const CardRun& run, bool once, const bench::Goal& time) const
    {
        bench::PrintFigure({"bytes read from the card per byte on it, " + copy + ", " + folder_.name,
                            run.cardBytes / folder_.bytes, "the card's bytes", 1, "x",
                            once ? bench::AtMostTimes(1.0) : bench::ShownOnly()});
        bench::PrintFigure(
            {copy + ", " + folder_.name + from_, run.ms, "bare read of the same files", bare_.ms, "ms", time});
    }

private:
    const CardFolder& folder_;
    CardRun bare_;
    std::string from_;
};

int Run(int argc, wchar_t** argv)
{
    if (argc != 6)
        throw std::runtime_error("usage: bench_card <rate MB/s> <pictures> <small files> <control> <destination>");
    const double rate = std::wcstod(argv[1], nullptr);
    const CardFolder pictures = ListCardFolder(argv[2]), small = ListCardFolder(argv[3]);
    const std::wstring control = argv[4], destination = argv[5];
    const std::wstring own = destination + L"\\own", backup = destination + L"\\backup";
    bench::PassServices pass;

    const CardRun picturesBare = ReadBare(pictures, control);
    const ShellCopy shell = CopyByShellThenPass(pass.services, pictures, destination + L"\\verified", control);
    const CardRun picturesOwn = CopyOwn(pass.copier, pictures, {own}, control);
    const CardRun picturesBackup = CopyOwn(pass.copier, pictures, {own, backup}, control);
    const auto [smallBare, smallOwn] = MedianRuns(
        kSmallFilesRounds, [&] { return ReadBare(small, control); },
        [&] { return CopyOwn(pass.copier, small, {own}, control); });

    std::printf("%s: bare read %.0f ms; the shell's copy %.0f ms, then the pass %.0f ms\n", pictures.name.c_str(),
                picturesBare.ms, shell.copied.ms, shell.verified.ms - shell.copied.ms);
    std::printf("%s: bare read %.0f ms\n", small.name.c_str(), smallBare.ms);
    const CardRows picturesRows(pictures, picturesBare, rate);
    picturesRows.Print("plain copy by the shell", shell.copied, false, bench::ShownOnly());
    picturesRows.Print("the shell's copy, then the pass", shell.verified, false, bench::ShownOnly());
    picturesRows.Print("own copy with its check", picturesOwn, true, bench::AtMostTimes(1.10));
    picturesRows.Print("own copy with its check and a backup", picturesBackup, true, bench::AtMostTimes(1.15));
    CardRows(small, smallBare, rate).Print("own copy with its check", smallOwn, true, bench::AtMostTimes(1.25));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    return korvane::bench::RunBenchmark("bench_card", [&] { return Run(argc, argv); });
}
