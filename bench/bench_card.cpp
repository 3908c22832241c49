// The verified copy from an emulated card (tests/support/card_emulator.py, which scripts/bench.sh mounts at a rate
// of a common card): how many bytes a plain copy and a verified copy read from the card for each byte it holds
// (exact, from the emulator's counters), and the time of a verified copy (the shell's copy, then the pass) against
// a bare read of the same files through the same card in the same run, the card's own time. One round each: the
// card's rate sets the times, and a round takes minutes.
//   bench_card <card folder> <the card's control folder> <destination folder>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/verify/verify_pass.h"
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
    const std::wstring card = argv[1], control = argv[2], copy = std::wstring(argv[3]) + L"\\verified";
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

    std::printf("card: %zu files, %.0f bytes; read by the plain copy %.0f bytes, by the verified copy %.0f bytes; "
                "copy %.0f ms, pass %.0f ms, bare read %.0f ms\n",
                plan.files.size(), cardBytes, copyRead, verifiedRead, copyMs, passMs, bareMs);
    bench::PrintFigure({"bytes read from the card per byte on it, plain copy", copyRead / cardBytes, "the card's bytes",
                        1, "x", bench::ShownOnly()});
    bench::PrintFigure({"bytes read from the card per byte on it, verified copy", verifiedRead / cardBytes,
                        "the card's bytes", 1, "x", bench::ShownOnly()});
    bench::PrintFigure({"verified copy from a card of 35 MB/s, about 1 GiB", copyMs + passMs,
                        "bare read of the card", bareMs, "ms", bench::ShownOnly()});
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    return korvane::bench::RunBenchmark("bench_card", [&] { return Run(argc, argv); });
}
