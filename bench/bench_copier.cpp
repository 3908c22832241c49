// The program's own copier (one read of the card, a writer and, when checking, a checker) against CopyFileExW of
// the same files one after the other, on files the system holds in its cache (an unlimited card): 100 files of
// 8 MiB, the copier without and with the check, the runs alternating. The check reads each copy back once it is
// on the disk, so it is also set against CopyFileExW with each copy flushed to the disk: the disk's own time.
// Also the memory the copier adds while it runs.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <thread>

#include "counted_copy.h"
#include "figure_table.h"
#include "platform/win32/win32_copy_pipeline.h"
#include "platform/win32/win32_file_copier.h"
#include "platform/win32/win32_handles.h"
#include "support/file_tree.h"

namespace {

using namespace korvane;
using namespace korvane::testing::filetree;

constexpr int kRounds = 4;
constexpr int kFiles = 100;
constexpr std::size_t kFileSize = 8u << 20;

SIZE_T HeldBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

std::vector<CopyEntry> WriteCard(const std::wstring& card)
{
    MakeFolder(card);
    std::string bytes = SampleBytes(kFileSize, 11);
    std::vector<CopyEntry> entries;
    for (int i = 0; i < kFiles; ++i) {
        std::memcpy(bytes.data(), &i, sizeof i);
        const std::wstring name = L"IMG_" + std::to_wstring(i) + L".JPG";
        WriteBytes(card + L"\\" + name, bytes);
        entries.push_back({card + L"\\" + name, name, false, kFileSize});
    }
    return entries;
}

// CopyFileExW of each file, one after the other; with `flushed`, each copy is on the disk before the next starts.
void CopyOneAfterTheOther(const std::vector<CopyEntry>& entries, const std::wstring& target, bool flushed)
{
    MakeFolder(target);
    for (const CopyEntry& entry : entries) {
        const std::wstring copy = target + L"\\" + entry.relativePath;
        if (!CopyFileExW(entry.source.c_str(), copy.c_str(), nullptr, nullptr, nullptr, 0))
            throw SystemError("CopyFileExW");
        if (!flushed) continue;
        const UniqueFileHandle written(
            CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!written || !FlushFileBuffers(written.get())) throw SystemError("FlushFileBuffers");
    }
}

int Run()
{
    TempFolder scratch;
    const std::wstring card = scratch / L"カード";
    const std::wstring target = scratch / L"コピー";
    const std::vector<CopyEntry> entries = WriteCard(card);
    Win32FileCopier copier;
    SIZE_T peak = 0;
    const SIZE_T before = HeldBytes();
    const auto copy = [&](bool check) {
        bench::CountedCopy progress;
        const CopyEnding ending = copier.Copy({entries, {target}, check}, progress, {});
        if (ending.end != CopyEnd::Finished || progress.wholeEntries != entries.size())
            throw std::runtime_error("the copier did not copy every file whole");
    };
    std::vector<double> plain, checked, reference, flushed;
    const std::function<void()> runs[] = {
        [&] { reference.push_back(bench::TimedMilliseconds([&] { CopyOneAfterTheOther(entries, target, false); })); },
        [&] { flushed.push_back(bench::TimedMilliseconds([&] { CopyOneAfterTheOther(entries, target, true); })); },
        [&] { plain.push_back(bench::TimedMilliseconds([&] { copy(false); })); },
        [&] { checked.push_back(bench::TimedMilliseconds([&] { copy(true); })); },
    };
    std::atomic<bool> running = true;
    std::jthread sampler([&] {
        for (; running; Sleep(5)) peak = std::max(peak, HeldBytes());
    });
    // Each in turn first: the system writes the last copy's bytes to the disk while the next one runs.
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t run = 0; run < std::size(runs); ++run) {
            runs[(round + run) % std::size(runs)]();
            RemoveTree(target);
        }
    }
    running = false;
    std::printf("own copier: %d files of %zu bytes, %d rounds\n", kFiles, kFileSize, kRounds);
    const double referenceMs = bench::Median(reference);
    bench::PrintFigure({"own copier, 100 files of 8 MiB in the cache", bench::Median(plain),
                        "CopyFileExW one after the other", referenceMs, "ms", bench::AtMostTimes(1.0)});
    bench::PrintFigure({"own copier with the check against checksums, same files", bench::Median(checked),
                        "CopyFileExW one after the other", referenceMs, "ms", bench::AtMostTimes(1.3)});
    bench::PrintFigure({"own copier with the check against checksums, same files", bench::Median(checked),
                        "CopyFileExW, each copy flushed to the disk", bench::Median(flushed), "ms",
                        bench::AtMostTimes(1.0)});
    // The reader's blocks and the checker's one.
    const double buffers = (CopyPipeline::kBlocks + 1.0) * CopyPipeline::kBlockSize / (1 << 20);
    const double added = static_cast<double>(peak > before ? peak - before : 0) / (1 << 20);
    bench::PrintFigure({"memory added by the copier", added, "its blocks", buffers, "MiB", bench::AtMost(64, "MiB")});
    return 0;
}

}  // namespace

int main() { return korvane::bench::RunBenchmark("bench_copier", Run); }
