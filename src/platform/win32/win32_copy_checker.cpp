#include "platform/win32/win32_copy_checker.h"

#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace korvane {

CopyChecker::CopyChecker(std::shared_ptr<CopyPipeline> pipeline, std::size_t target)
    : pipeline_(std::move(pipeline)), target_(target), block_(AllocatePages(CopyPipeline::kBlockSize))
{
}

bool CopyChecker::Take(std::size_t entry, UniqueFileHandle written)
{
    return pipeline_->monitor().WaitThen(pipeline_->stopToken(), [this] { return queue_.size() < kQueued; },
                                         [&] { queue_.push_back({entry, std::move(written)}); });
}

void CopyChecker::Close()
{
    pipeline_->monitor().Update([this] { closed_ = true; });
}

std::optional<CopyChecker::Written> CopyChecker::Next()
{
    std::optional<Written> next;
    pipeline_->monitor().WaitThen(pipeline_->stopToken(), [this] { return !queue_.empty() || closed_; }, [&] {
        if (queue_.empty()) return;
        next = std::move(queue_.front());
        queue_.pop_front();
    });
    return next;
}

void CopyChecker::Run()
{
    for (std::optional<Written> written = Next(); written; written = Next()) {
        const std::size_t entry = written->entry;
        const FileComparison result = Check(std::move(*written));
        if (pipeline_->stopping()) return;
        pipeline_->Outcome(target_, entry, result);
    }
}

FileComparison CopyChecker::Check(Written written)
{
    // The bytes on the disk, not those still in the system's memory, are what is read back.
    if (!FlushFileBuffers(written.handle.get())) {
        const DWORD error = GetLastError();
        pipeline_->StopWhenDiskFull(target_, error);
        return {ComparisonResult::Unreadable, SystemReason(error)};
    }
    written.handle.reset();
    return ReadBack(pipeline_->CopyPath(target_, written.entry), pipeline_->Facts(written.entry));
}

FileComparison CopyChecker::ReadBack(const std::wstring& path, const CardFacts& card)
{
    const UnbufferedFile file = OpenUnbuffered(path);
    if (file.error) {
        if (IsMissing(file.error)) return {ComparisonResult::MissingInCopy, {}};
        return {ComparisonResult::Unreadable, SystemReason(file.error)};
    }
    if (file.size != card.bytesRead) return {ComparisonResult::Differs, {}};
    checksum_.Reset();
    std::byte* const into = static_cast<std::byte*>(block_.get());
    for (std::uint64_t done = 0; done < file.size;) {
        if (pipeline_->stopping()) return {};
        DWORD got = 0;
        if (!ReadFile(file.handle.get(), into, static_cast<DWORD>(CopyPipeline::kBlockSize), &got, nullptr))
            return {ComparisonResult::Unreadable, SystemReason(GetLastError())};
        if (got == 0) return {ComparisonResult::Differs, {}};
        checksum_.Add(into, got);
        done += got;
        pipeline_->Checked(target_, got);
    }
    return {checksum_.Value() == card.checksum ? ComparisonResult::Equal : ComparisonResult::Differs, {}};
}

}  // namespace korvane
