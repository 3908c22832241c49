#include "platform/win32/win32_copy_pipeline.h"

#include <algorithm>

#include "platform/win32/win32_errors.h"

namespace korvane {

CopyPipeline::CopyPipeline(const CopyJob& job)
    : job_(job),
      pages_(AllocatePages(kBlocks * kBlockSize)),
      holds_(kBlocks, 0),
      nextPiece_(job.targets.size(), 0),
      entries_(job.entries.size()),
      entryAt_(job.targets.size(), 0),
      copied_(job.targets.size(), 0),
      checked_(job.targets.size(), 0)
{
    for (EntryState& entry : entries_) entry.copies.resize(job.targets.size());
}

void CopyPipeline::Stop(const CopyEnding& ending)
{
    monitor_.Update([&] {
        if (!ending_) ending_ = ending;
    });
    monitor_.RequestStop(stop_);
}

void CopyPipeline::StopWhenDiskFull(std::size_t target, DWORD error)
{
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        Stop({.end = CopyEnd::DiskFull, .target = target, .reason = SystemReason(error)});
}

std::wstring CopyPipeline::CopyPath(std::size_t target, std::size_t entry) const
{
    const std::wstring& folder = job_.targets[target];
    return folder + (folder.ends_with(L'\\') ? L"" : L"\\") + job_.entries[entry].relativePath;
}

CopyEnding CopyPipeline::Ending()
{
    CopyEnding ending;
    monitor_.Update([&] { ending = ending_.value_or(CopyEnding{}); });
    return ending;
}

std::byte* CopyPipeline::Block(std::size_t block) const
{
    return static_cast<std::byte*>(pages_.get()) + block * kBlockSize;
}

std::optional<std::size_t> CopyPipeline::TakeBlock(std::size_t current)
{
    const std::size_t next = current == kNoBlock ? 0 : (current + 1) % kBlocks;
    if (!monitor_.WaitThen(stopToken(), [&] { return holds_[next] == 0; }, [] {})) return std::nullopt;
    return next;
}

void CopyPipeline::Push(const Piece& piece)
{
    if (piece.block != kNoBlock) holds_[piece.block] += static_cast<unsigned>(targets());
    pieces_.push_back(piece);
    news_ = true;
}

void CopyPipeline::Hand(const Piece& piece)
{
    monitor_.Update([&] { Push(piece); });
}

void CopyPipeline::Hand(const Piece& piece, const CardFacts& facts)
{
    monitor_.Update([&] {
        EntryState& entry = entries_[piece.entry];
        entry.facts = facts;
        entry.cardDone = true;
        if (facts.error) entry.copies.clear();  // nothing is written of a file the card did not give
        Push(piece);
    });
}

CardFacts CopyPipeline::Facts(std::size_t entry)
{
    CardFacts facts;
    monitor_.Update([&] { facts = entries_[entry].facts; });
    return facts;
}

std::optional<Piece> CopyPipeline::Next(std::size_t target)
{
    std::optional<Piece> piece;
    monitor_.WaitThen(
        stopToken(), [&] { return nextPiece_[target] < firstPiece_ + pieces_.size(); },
        [&] { piece = pieces_[nextPiece_[target]++ - firstPiece_]; });
    return piece;
}

void CopyPipeline::Written(std::size_t target, const Piece& piece)
{
    monitor_.Update([&] {
        if (piece.block != kNoBlock) --holds_[piece.block];
        copied_[target] += piece.bytes;
        entryAt_[target] = piece.entry;
        const std::size_t slowest = *std::min_element(nextPiece_.begin(), nextPiece_.end());
        while (firstPiece_ < slowest) {
            pieces_.pop_front();
            ++firstPiece_;
        }
        news_ = true;
    });
}

void CopyPipeline::Outcome(std::size_t target, std::size_t entry, const FileComparison& copy)
{
    monitor_.Update([&] {
        std::vector<std::optional<FileComparison>>& copies = entries_[entry].copies;
        if (target < copies.size()) copies[target] = copy;
        news_ = true;
    });
}

void CopyPipeline::Checked(std::size_t target, std::uint64_t bytes)
{
    monitor_.Update([&] {
        checked_[target] += bytes;
        news_ = true;
    });
}

bool CopyPipeline::Complete(const EntryState& entry) const
{
    return entry.cardDone && std::all_of(entry.copies.begin(), entry.copies.end(),
                                         [](const std::optional<FileComparison>& copy) { return copy.has_value(); });
}

void CopyPipeline::CollectNews(CopyFigures& figures, std::vector<std::pair<std::size_t, CopiedEntry>>& done)
{
    news_ = false;
    if (targets() > 0) {
        figures.entry = *std::min_element(entryAt_.begin(), entryAt_.end());
        figures.copied = *std::min_element(copied_.begin(), copied_.end());
        figures.checked = *std::min_element(checked_.begin(), checked_.end());
    }
    for (; reported_ < entries_.size() && Complete(entries_[reported_]); ++reported_) {
        const EntryState& entry = entries_[reported_];
        CopiedEntry copied;
        if (entry.facts.error) copied.card = {ComparisonResult::Unreadable, SystemReason(entry.facts.error)};
        for (const std::optional<FileComparison>& copy : entry.copies) copied.copies.push_back(*copy);
        done.emplace_back(reported_, std::move(copied));
    }
}

bool CopyPipeline::WaitForNews(std::stop_token caller, CopyFigures& figures,
                               std::vector<std::pair<std::size_t, CopiedEntry>>& done)
{
    // Decided under the lock: news taken are always returned, so that none is lost to a stop that comes after.
    bool taken = false;
    monitor_.WaitThen(caller, [&] { return news_ || stopping(); }, [&] {
        if (stopping()) return;
        CollectNews(figures, done);
        taken = true;
    });
    return taken;
}

void CopyPipeline::TakeNews(CopyFigures& figures, std::vector<std::pair<std::size_t, CopiedEntry>>& done)
{
    monitor_.Update([&] { CollectNews(figures, done); });
}

bool CopyPipeline::AllReported()
{
    bool all = false;
    monitor_.Update([&] { all = reported_ == entries_.size(); });
    return all;
}

}  // namespace korvane
