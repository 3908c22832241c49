// The verified copy's pass (VerifyCopy: the comparer with a reader thread per side, behind its progress window)
// against a bare reader that reads the same pairs of files one after the other, with the same flags and blocks,
// and compares them: over (a) 200 files of 8 MiB and (b) 20,000 files of 24 KiB, the two alternating. Also the
// memory the pass adds while it runs, and, during a file of 1 GiB, how often the progress window shows new figures
// and how soon Cancel ends the pass.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/verify_pass.h"
#include "figure_table.h"
#include "platform/win32/win32_file_comparer.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "ui/progress/win32_long_work.h"

namespace {

using namespace korvane;
using namespace korvane::testing::filetree;
using Clock = std::chrono::steady_clock;

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

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

// The services of the pass: the real comparer behind the real progress window; the rest is never asked.
struct PassServices {
    Win32FileSystem fileSystem;
    Win32TextCodec codec{GetACP()};
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2027, 3, 2}};
    Win32FileComparer comparer;
    ui::Win32LongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, longWork};
};

struct PassFigures {
    double passMs = 0;
    double bareMs = 0;
    double addedMiB = 0;  // the most private memory the pass added while it ran
};

PassFigures Measure(PassServices& pass, const VerifyPlan& plan)
{
    std::vector<double> passTimes, bareTimes;
    SIZE_T peak = 0;
    const SIZE_T before = PrivateBytes();
    for (int round = 0; round < kRounds; ++round) {
        std::atomic<bool> running = true;
        std::jthread sampler([&] {
            for (; running; Sleep(5)) peak = std::max(peak, PrivateBytes());
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

// Figures changed per second over the first 750 ms of a 1 GiB file, then Cancel: milliseconds until the pass ends.
std::pair<double, double> RepaintsAndCancel(PassServices& pass, const VerifyPlan& plan)
{
    double repaints = 0;
    Clock::time_point clicked;
    pass.longWork.onShown = [&](ui::frmProgress& window) {
        std::thread([&] {
            wchar_t last[128]{}, now[128]{};
            int changes = 0;
            const auto start = Clock::now();
            while (Clock::now() - start < std::chrono::milliseconds(750)) {
                GetWindowTextW(window.lblAmount.handle(), now, 128);
                if (std::wcscmp(now, last) != 0) ++changes, std::wcscpy(last, now);
                Sleep(2);
            }
            repaints = changes / 0.75;
            clicked = Clock::now();
            SendMessageW(window.cmdCancel.handle(), BM_CLICK, 0, 0);
        }).detach();
    };
    VerifyOutcome outcome = VerifyCopy(pass.services, nullptr, plan);
    const double cancelMs = std::chrono::duration<double, std::milli>(Clock::now() - clicked).count();
    pass.longWork.onShown = nullptr;
    if (!outcome.cancelled) throw std::runtime_error("the 1 GiB pass ended before Cancel");
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
    const VerifyPlan large = plan(L"a", 200, 8u << 20);
    const PassFigures a = Measure(pass, large);
    const VerifyPlan small = plan(L"b", 20000, 24u << 10);
    const PassFigures b = Measure(pass, small);
    const VerifyPlan huge = plan(L"c", 1, 1u << 30);
    const auto [repaints, cancelMs] = RepaintsAndCancel(pass, huge);

    std::printf("(a) %zu files, %llu bytes; (b) %zu files, %llu bytes; %d rounds each\n", large.files.size(),
                static_cast<unsigned long long>(large.totalBytes), small.files.size(),
                static_cast<unsigned long long>(small.totalBytes), kRounds);
    bench::PrintFigure({"verify pass, 200 files of 8 MiB", a.passMs, "bare reader, one after the other", a.bareMs,
                        "ms", bench::AtMostTimes(1.0)});
    bench::PrintFigure({"verify pass, 20,000 files of 24 KiB", b.passMs, "bare reader, one after the other",
                        b.bareMs, "ms", bench::AtMostTimes(1.2)});
    const double buffers = 2.0 * Win32FileComparer::kBlocksPerSide * kBlock / (1 << 20);
    bench::PrintFigure({"memory added by the pass, 200 x 8 MiB", a.addedMiB, "its blocks", buffers, "MiB",
                        bench::AtMost(16, "MiB")});
    bench::PrintFigure({"memory added by the pass, 20,000 x 24 KiB", b.addedMiB, "its blocks", buffers, "MiB",
                        bench::AtMost(16, "MiB")});
    bench::PrintFigure({"progress figures shown per second, 1 GiB file", repaints, "goal", 4, "/s",
                        {">= 4 /s", [](double value, double) { return value >= 4; }}});
    bench::PrintFigure({"Cancel to the end of the pass, 1 GiB file", cancelMs, "goal", 200, "ms",
                        bench::AtMost(200, "ms")});
    return 0;
}

}  // namespace

int main() { return korvane::bench::RunBenchmark("bench_verify", Run); }
