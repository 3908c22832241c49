#include "platform/win32/win32_copy_checker.h"

#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace korvane {

CopyChecker::CopyChecker(std::shared_ptr<CopyPipeline> pipeline, std::size_t target)
    : pipeline_(std::move(pipeline)),
      target_(target),
      written_(pipeline_->monitor(), pipeline_->stopToken(), kQueued),
      flushed_(pipeline_->monitor(), pipeline_->stopToken(), kQueued),
      block_(AllocatePages(CopyPipeline::kBlockSize))
{
}

bool CopyChecker::Take(std::size_t entry, UniqueFileHandle written)
{
    return written_.Put({entry, std::move(written)});
}

void CopyChecker::Close() { written_.Close(); }

void CopyChecker::FlushFiles()
{
    for (std::optional<Written> written = written_.Take(); written; written = written_.Take()) {
        // The bytes on the disk, not those still in the system's memory, are what is read back.
        DWORD error = 0;
        if (!FlushFileBuffers(written->handle.get())) {
            error = GetLastError();
            pipeline_->StopWhenDiskFull(target_, error);
        }
        written->handle.reset();
        if (!flushed_.Put({written->entry, error})) return;
    }
    flushed_.Close();
}

void CopyChecker::ReadBackFiles()
{
    for (std::optional<Flushed> flushed = flushed_.Take(); flushed; flushed = flushed_.Take()) {
        const FileComparison result =
            flushed->error ? FileComparison{ComparisonResult::Unreadable, SystemReason(flushed->error)}
                           : ReadBack(pipeline_->CopyPath(target_, flushed->entry), pipeline_->Facts(flushed->entry));
        if (pipeline_->stopping()) return;
        pipeline_->Outcome(target_, flushed->entry, result);
    }
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
