#include "platform/win32/win32_file_copier.h"

#include <windows.h>

#include <limits>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/win32_card_reader.h"
#include "platform/win32/win32_copy_checker.h"
#include "platform/win32/win32_copy_writer.h"
#include "platform/win32/win32_errors.h"

namespace korvane {
namespace {

using UniqueThreadHandle = UniqueHandle<HANDLE, &CloseHandle>;

// After a stop, how long the reader is waited for, its read cancelled again and again, before the copy returns
// without it: a read of a block from a card that works ends well within it, and a hung read (which Wine cannot
// cancel) is not waited for longer than needed.
constexpr DWORD kReaderWaitMs = 20;
constexpr int kReaderWaits = 5;

CopyEnding FailedFor(std::wstring reason) { return {.end = CopyEnd::Failed, .target = 0, .reason = std::move(reason)}; }
CopyEnding FailedFor(DWORD error) { return FailedFor(SystemReason(error)); }

// Runs a thread's work; what it throws ends the copy as Failed instead of leaving the thread.
template <typename Work>
void Guarded(CopyPipeline& pipeline, Work&& work) noexcept
{
    try {
        work();
    } catch (const Failure& failure) {
        pipeline.Stop(FailedFor(failure.reason()));
    } catch (const std::bad_alloc&) {
        pipeline.Stop(FailedFor(ERROR_NOT_ENOUGH_MEMORY));
    } catch (...) {
        pipeline.Stop(FailedFor(ERROR_GEN_FAILURE));
    }
}

DWORD WINAPI ReadCard(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<CopyPipeline>> pipeline(
        static_cast<std::shared_ptr<CopyPipeline>*>(parameter));
    Guarded(**pipeline, [&] { CardReader(*pipeline).Run(); });
    return 0;
}

// The reader runs on a thread of the system's own making: its handle is what CancelSynchronousIo takes, and the
// copy can return without it. It holds the pipeline, blocks included, for as long as it runs.
UniqueThreadHandle StartReader(std::shared_ptr<CopyPipeline> pipeline)
{
    auto parameter = std::make_unique<std::shared_ptr<CopyPipeline>>(std::move(pipeline));
    UniqueThreadHandle thread(CreateThread(nullptr, 0, &ReadCard, parameter.get(), 0, nullptr));
    if (!thread) ThrowLastError();
    parameter.release();  // the thread's now
    return thread;
}

// Gives the stopped reader a moment to end, cancelling its read meanwhile (it may start one after a cancel).
void LetTheReaderGo(HANDLE reader)
{
    for (int wait = 0; wait < kReaderWaits; ++wait) {
        CancelSynchronousIo(reader);
        if (WaitForSingleObject(reader, kReaderWaitMs) != WAIT_TIMEOUT) return;
    }
}

// Hands the pipeline's figures to the caller's progress as steps.
class ProgressSteps {
public:
    ProgressSteps(CopyProgress& progress, std::size_t entries) : progress_(progress), entries_(entries) {}

    void Report(const CopyFigures& figures, const std::vector<std::pair<std::size_t, CopiedEntry>>& done)
    {
        if (figures.entry < entries_ && figures.entry != entry_) progress_.Copying(entry_ = figures.entry);
        if (figures.copied > copied_) progress_.BytesCopied(figures.copied - copied_);
        if (figures.checked > checked_) progress_.BytesChecked(figures.checked - checked_);
        copied_ = figures.copied;
        checked_ = figures.checked;
        for (const auto& [index, entry] : done) progress_.EntryCopied(index, entry);
    }

private:
    CopyProgress& progress_;
    std::size_t entries_;
    std::size_t entry_ = std::numeric_limits<std::size_t>::max();
    std::uint64_t copied_ = 0;
    std::uint64_t checked_ = 0;
};

// The writers and checkers of every target, on threads joined when it ends.
class TargetThreads {
public:
    // Throws when a thread or its memory cannot be had, once the pipeline is stopped, so that the threads
    // started end.
    explicit TargetThreads(const std::shared_ptr<CopyPipeline>& pipeline)
    {
        try {
            for (std::size_t target = 0; target < pipeline->targets(); ++target) {
                CopyChecker* checker = nullptr;
                if (pipeline->job().check)
                    checker = checkers_.emplace_back(std::make_unique<CopyChecker>(pipeline, target)).get();
                writers_.push_back(std::make_unique<CopyWriter>(pipeline, target, checker));
            }
            for (const auto& writer : writers_) Start(*pipeline, [&writer] { writer->Run(); });
            for (const auto& checker : checkers_) {
                Start(*pipeline, [&checker] { checker->FlushFiles(); });
                Start(*pipeline, [&checker] { checker->ReadBackFiles(); });
            }
        } catch (...) {
            pipeline->Stop(FailedFor(ERROR_NOT_ENOUGH_MEMORY));
            throw;
        }
    }
    ~TargetThreads() { threads_.clear(); }  // joined before the writers and checkers go

private:
    template <typename Work>
    void Start(CopyPipeline& pipeline, Work work)
    {
        threads_.emplace_back([&pipeline, work] { Guarded(pipeline, work); });
    }

    std::vector<std::unique_ptr<CopyChecker>> checkers_;
    std::vector<std::unique_ptr<CopyWriter>> writers_;
    std::vector<std::jthread> threads_;
};

// Reports what the pipeline has done until every entry is reported, the copy stops or the caller asks it to stop,
// which stops the copy: seen here rather than in a callback of `stop` (see Monitor::WaitThen).
void ReportUntilDone(CopyPipeline& pipeline, ProgressSteps& steps, std::stop_token stop)
{
    CopyFigures figures;
    std::vector<std::pair<std::size_t, CopiedEntry>> done;
    try {
        while (!pipeline.AllReported() && pipeline.WaitForNews(stop, figures, done)) {
            steps.Report(figures, done);
            done.clear();
        }
    } catch (...) {
        pipeline.Stop(FailedFor(ERROR_GEN_FAILURE));
    }
    if (stop.stop_requested()) pipeline.Stop({.end = CopyEnd::Stopped, .target = 0, .reason = {}});
}

}  // namespace

CopyEnding Win32FileCopier::Copy(const CopyJob& job, CopyProgress& progress, std::stop_token stop)
{
    std::shared_ptr<CopyPipeline> pipeline;
    UniqueThreadHandle reader;
    try {
        pipeline = std::make_shared<CopyPipeline>(job);
        reader = StartReader(pipeline);
    } catch (const Failure& failure) {
        return FailedFor(failure.reason());
    } catch (const std::bad_alloc&) {
        return FailedFor(ERROR_NOT_ENOUGH_MEMORY);
    }
    ProgressSteps steps(progress, job.entries.size());
    {
        std::optional<TargetThreads> targets;
        try {
            targets.emplace(pipeline);
            ReportUntilDone(*pipeline, steps, stop);
        } catch (...) {  // no memory or thread for a target: the pipeline is stopped
        }
    }
    if (pipeline->stopping()) {
        LetTheReaderGo(reader.get());
    } else {
        WaitForSingleObject(reader.get(), INFINITE);  // it has handed over the end
    }
    CopyFigures figures;
    std::vector<std::pair<std::size_t, CopiedEntry>> done;
    pipeline->TakeNews(figures, done);
    try {
        steps.Report(figures, done);
    } catch (...) {
        return FailedFor(ERROR_GEN_FAILURE);
    }
    if (pipeline->AllReported()) return {};
    return pipeline->Ending();
}

}  // namespace korvane
