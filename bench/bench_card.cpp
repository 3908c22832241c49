// The verified copy from an emulated card (tests/support/card_emulator.py, which scripts/bench.sh mounts at a rate
// of a common card): how many bytes a plain copy and a verified copy read from the card for each byte it holds
// (exact, from the emulator's counters), and the time of a verified copy (the shell's copy, then the pass) against
// a bare read of the same files through the same card in the same run, the card's own time. The same for the
// program's own copy with its check, into one folder and into two (with a backup). One round each: the card's rate
// sets the times, and a round takes minutes.
//   bench_card <card folder> <the card's control folder> <destination folder>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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
#include "support/file_tree.h"

namespace {

using namespace korvane;

// The bytes the card has served so far: the "total" line of the emulator's counters.
double CardBytesRead(const std::wstring& control)
{
    std::ifstream counters(std::filesystem::path(control + L"\\counters"));
    double bytes = 0;
    std::string name;
    while (counters >> bytes >> name)
        if (name == "total") return bytes;
    throw std::runtime_error("the card's counters cannot be read");
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

// The card's own time: each file read once, in blocks of the comparer's size, past the cache.
void ReadBare(const VerifyPlan& plan)
{
    constexpr DWORD kBlock = Win32FileComparer::kBlockSize;
    void* block = VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const ScopeExit release([block] { VirtualFree(block, 0, MEM_RELEASE); });
    for (const VerifyItem& file : plan.files) {
        const UniqueFileHandle read(CreateFileW((plan.original + L"\\" + file.relativePath).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD got = 0;
        while (read && ReadFile(read.get(), block, kBlock, &got, nullptr) && got > 0) {
        }
    }
}

int Run(int argc, wchar_t** argv)
{
    if (argc != 4) throw std::runtime_error("usage: bench_card <card> <control> <destination>");
    const std::wstring card = argv[1], control = argv[2], destination = argv[3], copy = destination + L"\\verified";
    std::vector<VerifyItem> files;
    ListFiles(card, L"", files);
    const VerifyPlan plan = PlanVerification(card, copy, files);
    const double cardBytes = static_cast<double>(plan.totalBytes);

    double read = CardBytesRead(control);
    const double bareMs = bench::TimedMilliseconds([&] { ReadBare(plan); });
    if (CardBytesRead(control) - read != cardBytes) throw std::runtime_error("the bare read missed bytes");

    bench::PassServices pass;
    Win32Shell shell;
    read = CardBytesRead(control);
    ShellCopyOutcome copied;
    const double copyMs =
        bench::TimedMilliseconds([&] { copied = shell.CopyFiles(nullptr, card + L"\\*", copy, CopyCollision::Ask); });
    if (copied.result != 0) throw std::runtime_error("the shell's copy failed");
    const double copyRead = CardBytesRead(control) - read;
    VerifyOutcome outcome;
    const double passMs = bench::TimedMilliseconds([&] { outcome = VerifyCopy(pass.services, nullptr, plan); });
    if (!outcome.problems.empty() || outcome.cancelled) throw std::runtime_error("the pass found a difference");
    const double verifiedRead = CardBytesRead(control) - read;
    testing::filetree::RemoveTree(copy);

    // The own copy with its check into `targets`: its milliseconds and the bytes it read from the card.
    const std::vector<CopyEntry> entries = CopyEntries(card, files);
    const auto ownCopy = [&](const std::vector<std::wstring>& targets) {
        bench::CountedCopy progress;
        const double before = CardBytesRead(control);
        const double ms = bench::TimedMilliseconds([&] {
            if (pass.copier.Copy({entries, targets, true}, progress, {}).end != CopyEnd::Finished ||
                progress.wholeEntries != entries.size())
                throw std::runtime_error("the own copy did not copy every file whole");
        });
        const double cardRead = CardBytesRead(control) - before;
        for (const std::wstring& target : targets) testing::filetree::RemoveTree(target);
        return std::pair{ms, cardRead};
    };
    const auto [oneMs, oneRead] = ownCopy({destination + L"\\own"});
    const auto [twoMs, twoRead] = ownCopy({destination + L"\\own", destination + L"\\backup"});

    std::printf("card: %zu files, %.0f bytes; read by the plain copy %.0f bytes, by the verified copy %.0f bytes; "
                "copy %.0f ms, pass %.0f ms, bare read %.0f ms\n",
                plan.files.size(), cardBytes, copyRead, verifiedRead, copyMs, passMs, bareMs);
    bench::PrintFigure({"bytes read from the card per byte on it, plain copy", copyRead / cardBytes, "the card's bytes",
                        1, "x", bench::ShownOnly()});
    bench::PrintFigure({"bytes read from the card per byte on it, verified copy", verifiedRead / cardBytes,
                        "the card's bytes", 1, "x", bench::ShownOnly()});
    bench::PrintFigure({"verified copy from a card of 35 MB/s, about 1 GiB", copyMs + passMs,
                        "bare read of the card", bareMs, "ms", bench::ShownOnly()});
    bench::PrintFigure({"bytes read from the card per byte on it, own copy with its check", oneRead / cardBytes,
                        "the card's bytes", 1, "x", bench::AtMostTimes(1.0)});
    bench::PrintFigure({"bytes read from the card per byte on it, own copy with its check and a backup",
                        twoRead / cardBytes, "the card's bytes", 1, "x", bench::AtMostTimes(1.0)});
    bench::PrintFigure({"own copy with its check from a card of 35 MB/s, about 1 GiB", oneMs, "bare read of the card",
                        bareMs, "ms", bench::AtMostTimes(1.10)});
    bench::PrintFigure({"own copy with its check and a backup, same card", twoMs, "bare read of the card", bareMs,
                        "ms", bench::AtMostTimes(1.15)});
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    return korvane::bench::RunBenchmark("bench_card", [&] { return Run(argc, argv); });
}
