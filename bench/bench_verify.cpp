// The verified copy's pass (VerifyCopy: the comparer with its read-ahead of the copies, behind its progress window)
// against a bare reader that reads the same pairs of files one after the other, with the same flags and blocks,
// and compares them: over (a) 200 files of 8 MiB and (b) 20,000 files of 24 KiB, the two alternating. Also the
// memory the pass adds while it runs (its blocks, its thread and its window, once the libraries of the first
// progress window are loaded), and, during a file of 1 GiB, how often the progress window shows new figures
// and how soon Cancel ends the pass.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/verify/verify_pass.h"
#include "figure_table.h"
#include "pass_services.h"
#include "platform/win32/win32_file_comparer.h"
#include "platform/win32/win32_handles.h"
#include "support/file_tree.h"
#include "ui/progress/win32_long_work.h"

namespace {

using namespace korvane;
using namespace korvane::testing::filetree;
using Clock = std::chrono::steady_clock;
using bench::PassServices;

constexpr int kRounds = 3;
constexpr DWORD kBlock = Win32FileComparer::kBlockSize;

// `count` files of `size` bytes below `card` and the same below `copy`, each with bytes of its own.
std::vector<VerifyItem> WriteCardAndCopy(const std::wstring& card, const std::wstring& copy, int count,
                                         std::size_t size)
{
    MakeFolder(card);
    MakeFolder(copy);
    std::string bytes = SampleBytes(size, 7);
    std::vector<VerifyItem> files;
    for (int i = 0; i < count; ++i) {
        std::memcpy(bytes.data(), &i, std::min(sizeof i, bytes.size()));
        const std::wstring name = L"IMG_" + std::to_wstring(i) + L".JPG";
        WriteBytes(card + L"\\" + name, bytes);
        WriteBytes(copy + L"\\" + name, bytes);
        files.push_back({name, size});
    }
    return files;
}

void ReleasePages(void* pages) noexcept { VirtualFree(pages, 0, MEM_RELEASE); }
using Pages = UniqueHandle<void*, &ReleasePages>;

UniqueFileHandle OpenUnbuffered(const std::wstring& path)
{
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The bare reader: each pair opened, read block by block, first the original's block then the copy's, compared.
std::size_t BareEqualFiles(const VerifyPlan& plan)
{
    const Pages original(VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const Pages copy(VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::size_t equal = 0;
    for (const VerifyItem& file : plan.files) {
        const UniqueFileHandle a = OpenUnbuffered(plan.original + L"\\" + file.relativePath);
        const UniqueFileHandle b = OpenUnbuffered(plan.copy + L"\\" + file.relativePath);
        bool same = a.valid() && b.valid();
        for (DWORD gotA = 0, gotB = 0; same;) {
            same = ReadFile(a.get(), original.get(), kBlock, &gotA, nullptr) &&
                   ReadFile(b.get(), copy.get(), kBlock, &gotB, nullptr) && gotA == gotB &&
                   std::memcmp(original.get(), copy.get(), gotA) == 0;
            if (gotA == 0) break;
        }
        if (same) ++equal;
    }
    return equal;
}

// The memory the process holds: its working set, which takes in the blocks as they are read into (under Wine
// the private bytes showed no change during a pass).
SIZE_T HeldBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

struct PassFigures {
    double passMs = 0;
    double bareMs = 0;
    double addedMiB = 0;  // the most memory the pass added while it ran
};

PassFigures Measure(PassServices& pass, const VerifyPlan& plan)
{
    std::vector<double> passTimes, bareTimes;
    SIZE_T peak = 0;
    // The first progress window loads its libraries and fonts once for the process: not the pass's memory.
    VerifyCopy(pass.services, nullptr, plan);
    const SIZE_T before = HeldBytes();
    for (int round = 0; round < kRounds; ++round) {
        std::atomic<bool> running = true;
        std::jthread sampler([&] {
            for (; running; Sleep(5)) peak = std::max(peak, HeldBytes());
        });
        VerifyOutcome outcome;
        passTimes.push_back(bench::TimedMilliseconds([&] { outcome = VerifyCopy(pass.services, nullptr, plan); }));
        running = false;
        if (!outcome.problems.empty() || outcome.cancelled) throw std::runtime_error("the pass found a difference");
        std::size_t equal = 0;
        bareTimes.push_back(bench::TimedMilliseconds([&] { equal = BareEqualFiles(plan); }));
        if (equal != plan.files.size()) throw std::runtime_error("the bare reader found a difference");
    }
    return {bench::Median(passTimes), bench::Median(bareTimes),
            static_cast<double>(peak > before ? peak - before : 0) / (1 << 20)};
}

// How often the progress window shows new figures during a pass over one 1 GiB file (changes of its amount per
// second), and, in a second pass, the milliseconds from Cancel, pressed once the first figures show, to the end.
std::pair<double, double> RepaintsAndCancel(PassServices& pass, const VerifyPlan& plan)
{
    std::atomic<bool> cancel = false;
    std::atomic<int> changes = 0;
    Clock::time_point clicked;
    pass.longWork.onShown = [&](ui::frmProgress& window) {
        std::thread([&, amount = window.lblAmount.handle(), button = window.cmdCancel.handle()] {
            wchar_t last[128]{}, now[128]{};
            while (IsWindow(amount)) {
                GetWindowTextW(amount, now, 128);
                if (std::wcscmp(now, last) != 0) {
                    ++changes;
                    std::wcscpy(last, now);
                    if (cancel && changes > 1) {
                        clicked = Clock::now();
                        SendMessageW(button, BM_CLICK, 0, 0);
                        return;
                    }
                }
                Sleep(2);
            }
        }).detach();
    };
    VerifyOutcome outcome;
    const double passMs = bench::TimedMilliseconds([&] { outcome = VerifyCopy(pass.services, nullptr, plan); });
    const double repaints = changes / (passMs / 1000);
    cancel = true;
    changes = 0;
    outcome = VerifyCopy(pass.services, nullptr, plan);
    const double cancelMs = std::chrono::duration<double, std::milli>(Clock::now() - clicked).count();
    pass.longWork.onShown = nullptr;
    Sleep(100);  // the watcher sees its window gone
    if (!outcome.cancelled) throw std::runtime_error("the 1 GiB pass ended before Cancel");
    std::printf("1 GiB pass: %.0f ms\n", passMs);
    return {repaints, cancelMs};
}

int Run()
{
    TempFolder scratch;
    PassServices pass;
    const auto plan = [&](const wchar_t* name, int count, std::size_t size) {
        const std::wstring card = scratch.path() + L"\\" + name + L"カード";
        const std::wstring copy = scratch.path() + L"\\" + name + L"コピー";
        return PlanVerification(card, copy, WriteCardAndCopy(card, copy, count, size));
    };
    const double buffers = 2.0 * Win32FileComparer::kReadAheadBlocks * kBlock / (1 << 20);  // each side's
    const auto measure = [&](const char* what, const wchar_t* name, int count, std::size_t size, double factor) {
        const VerifyPlan files = plan(name, count, size);
        const PassFigures figures = Measure(pass, files);
        std::printf("%s: %zu files, %llu bytes, %d rounds\n", what, files.files.size(),
                    static_cast<unsigned long long>(files.totalBytes), kRounds);
        bench::PrintFigure({std::string("verify pass, ") + what, figures.passMs, "bare reader, one after the other",
                            figures.bareMs, "ms", bench::AtMostTimes(factor)});
        bench::PrintFigure({std::string("memory added by the pass, ") + what, figures.addedMiB, "its blocks", buffers,
                            "MiB", bench::AtMost(16, "MiB")});
        RemoveTree(files.original);
        RemoveTree(files.copy);
    };
    measure("200 files of 8 MiB", L"a", 200, 8u << 20, 1.0);
    measure("20,000 files of 24 KiB", L"b", 20000, 24u << 10, 1.2);
    const auto [repaints, cancelMs] = RepaintsAndCancel(pass, plan(L"c", 1, 1u << 30));
    bench::PrintFigure({"progress figures shown per second, 1 GiB file", repaints, "goal", 4, "/s",
                        {">= 4 /s", [](double value, double) { return value >= 4; }}});
    bench::PrintFigure({"Cancel to the end of the pass, 1 GiB file", cancelMs, "goal", 200, "ms",
                        bench::AtMost(200, "ms")});
    return 0;
}

}  // namespace

int main() { return korvane::bench::RunBenchmark("bench_verify", Run); }
