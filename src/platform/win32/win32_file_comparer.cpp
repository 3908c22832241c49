#include "platform/win32/win32_file_comparer.h"

#include <windows.h>

#include <array>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_monitor.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_unbuffered.h"

namespace korvane {
namespace {

constexpr std::size_t kBlockSize = Win32FileComparer::kBlockSize;
constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

UnbufferedFile NotOpened(DWORD error)
{
    UnbufferedFile file;
    file.error = error;
    return file;
}

// Reads the next block of `file` into `into`: a whole block at a block-aligned offset, also for the tail, where
// the system gives what is there. A read that gives fewer whole sectors (a device read in parts, of which a later
// one failed, as Linux reports it under Wine) is followed by one for the rest, which tells the failure: only the
// end of the file gives less. Returns the bytes read, or nothing with the error in `error`.
std::optional<DWORD> ReadBlock(const UnbufferedFile& file, std::byte* into, DWORD& error)
{
    DWORD filled = 0;
    for (DWORD got = kSectorMultiple; filled < kBlockSize && got % kSectorMultiple == 0; filled += got) {
        if (!ReadFile(file.handle.get(), into + filled, kBlockSize - filled, &got, nullptr)) {
            error = GetLastError();
            return std::nullopt;
        }
        if (got == 0) break;  // the end of the file
    }
    return filled;
}

// A part of a file as a read-ahead hands it over: a block of its bytes, or the reason it could not be read.
// Each file ends with a piece marked last; a failure is always last.
struct Piece {
    std::size_t file = 0;
    std::uint64_t size = 0;   // the file's size, in every piece of it
    DWORD error = 0;          // the file could not be opened or read
    std::size_t block = kNoBlock;
    DWORD bytes = 0;          // 0 in a last piece when the file ended before its size
    bool last = false;
};

// The Win32 error that stands for an exception thrown while a file was being reached (its path made, opened).
DWORD ErrorOf(std::exception_ptr thrown) noexcept
{
    try {
        std::rethrow_exception(thrown);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::system_error& failure) {
        return failure.code().category() == std::system_category() ? failure.code().value() : ERROR_GEN_FAILURE;
    } catch (...) {
        return ERROR_GEN_FAILURE;
    }
}

// Which file of a pair a read-ahead reads.
using SideOfPair = std::wstring FilePair::*;

// Reads one side of the pairs (the originals or the copies) in order into a few blocks, on a thread of its own,
// ahead of the comparison: the card and the disk are read at the same time, and the comparing thread never waits
// on a device itself. A read that never returns (a reader that stops answering) holds only this thread: when the
// read-ahead goes, its pending read is cancelled (CancelSynchronousIo), and where the system cannot cancel it, the
// thread is left to end when the read does, with the blocks and the state it shares; it no longer sees the pairs.
class ReadAhead {
public:
    static constexpr std::size_t kBlocks = Win32FileComparer::kReadAheadBlocks;

    // `pairs` outlives the read-ahead.
    ReadAhead(const FilePairs& pairs, SideOfPair side) : shared_(std::make_shared<Shared>(pairs, side))
    {
        auto handedOver = std::make_unique<std::shared_ptr<Shared>>(shared_);
        thread_.reset(CreateThread(nullptr, 0, &Shared::Run, handedOver.get(), 0, nullptr));
        if (!thread_) ThrowLastError();
        handedOver.release();  // the thread's own now
    }

    ~ReadAhead()
    {
        shared_->Abandon();
        CancelSynchronousIo(thread_.get());  // fails harmlessly when no read is pending
    }

    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next piece, or nothing once `stop` is requested.
    std::optional<Piece> Next(const std::stop_token& stop) { return shared_->Next(stop); }
    const std::byte* Bytes(const Piece& piece) const { return shared_->Block(piece.block); }
    void Release(const Piece& piece) { shared_->Release(piece); }

    // The comparison has its verdict on `piece`'s file: the reader reads no more of it, and the file's pieces
    // still on the way are let go.
    void Skip(const Piece& piece, const std::stop_token& stop)
    {
        Release(piece);
        if (piece.last) return;
        shared_->SkipFile(piece.file);
        for (std::optional<Piece> next = Next(stop); next; next = Next(stop)) {
            Release(*next);
            if (next->last) return;
        }
    }

private:
    // What the reading thread uses: it lives as long as the thread, which may outlive the read-ahead.
    class Shared {
    public:
        Shared(const FilePairs& pairs, SideOfPair side)
            : pairs_(&pairs), count_(pairs.Count()), side_(side), pages_(AllocatePages(kBlocks * kBlockSize))
        {
            for (std::size_t block = 0; block < kBlocks; ++block) free_.push_back(block);
        }

        static DWORD WINAPI Run(void* handedOver)
        {
            const std::unique_ptr<std::shared_ptr<Shared>> owner(static_cast<std::shared_ptr<Shared>*>(handedOver));
            Shared& shared = **owner;
            const std::stop_token stop = shared.stop_.get_token();
            for (std::size_t file = 0; file < shared.count_ && !stop.stop_requested(); ++file) shared.Read(file, stop);
            return 0;
        }

        // The reader lets go of the pairs and stops.
        void Abandon()
        {
            monitor_.Update([this] { pairs_ = nullptr; });
            monitor_.RequestStop(stop_);
        }

        std::optional<Piece> Next(const std::stop_token& stop)
        {
            std::optional<Piece> piece;
            bool wasFull = false;
            monitor_.WaitThen(stop, [this] { return ready_.count > 0; }, [&] {
                wasFull = ready_.Full();
                piece = ready_.Pop();
            });
            if (wasFull) monitor_.Update([] {});  // the reader may wait for the room
            return piece;
        }

        std::byte* Block(std::size_t block) const
        {
            return static_cast<std::byte*>(pages_.get()) + block * kBlockSize;
        }

        void Release(const Piece& piece)
        {
            if (piece.block != kNoBlock) monitor_.Update([&] { free_.push_back(piece.block); });
        }

        void SkipFile(std::size_t file)
        {
            monitor_.Update([&] { skipped_ = file + 1; });
        }

    private:
        // The pieces handed over and not yet taken, in order; never more than one a block and a last one, so that
        // handing over needs no memory (it is what reports a failure, a failure to get memory among them).
        struct Pieces {
            std::array<Piece, kBlocks + 1> ring;
            std::size_t first = 0, count = 0;
            bool Full() const { return count == ring.size(); }
            void Push(const Piece& piece) { ring[(first + count++) % ring.size()] = piece; }
            Piece Pop()
            {
                --count;
                return ring[std::exchange(first, (first + 1) % ring.size())];
            }
        };

        // The path of `file`'s side, or nothing once the read-ahead is abandoned. Made under the lock, so that
        // the pairs are not let go while it is made.
        std::optional<std::wstring> PathOf(std::size_t file)
        {
            std::optional<std::wstring> path;
            monitor_.Update([&] {
                if (pairs_) path = pairs_->Pair(file).*side_;
            });
            return path;
        }

        void Push(const Piece& piece, std::stop_token stop)
        {
            monitor_.WaitThenWake(stop, [this] { return !ready_.Full(); }, [&] { ready_.Push(piece); });
        }

        // A free block for the next read of `file`, or nothing when the reader is stopped or the file skipped.
        std::optional<std::size_t> TakeBlock(std::size_t file, std::stop_token stop)
        {
            std::optional<std::size_t> block;
            monitor_.WaitThen(stop, [&] { return !free_.empty() || skipped_ > file; }, [&] {
                if (skipped_ > file) return;
                block = free_.back();
                free_.pop_back();
            });
            return block;
        }

        UnbufferedFile Open(std::size_t file)
        {
            try {
                const std::optional<std::wstring> path = PathOf(file);
                return path ? OpenUnbuffered(*path) : NotOpened(ERROR_OPERATION_ABORTED);
            } catch (...) {
                return NotOpened(ErrorOf(std::current_exception()));
            }
        }

        // Hands over the file's blocks, the last one marked; or, when the file cannot be read to its size or is
        // skipped, a last piece without bytes.
        void Read(std::size_t file, std::stop_token stop)
        {
            const UnbufferedFile opened = Open(file);
            DWORD error = opened.error;
            for (std::uint64_t done = 0; !error && done < opened.size;) {
                const std::optional<std::size_t> block = TakeBlock(file, stop);
                if (!block) break;  // skipped: the comparison drains the file up to its last piece
                const std::optional<DWORD> got = ReadBlock(opened, Block(*block), error);
                if (!got || *got == 0) {  // a failure, or shorter than its size said
                    Release({.block = *block});
                    break;
                }
                done += *got;
                const bool last = done >= opened.size;
                Push({.file = file, .size = opened.size, .block = *block, .bytes = *got, .last = last}, stop);
                if (last) return;
            }
            Push({.file = file, .size = opened.size, .error = error, .last = true}, stop);
        }

        const FilePairs* pairs_;  // none once abandoned
        const std::size_t count_;
        const SideOfPair side_;
        UniquePages pages_;
        Monitor monitor_;
        Pieces ready_;
        std::vector<std::size_t> free_;
        std::size_t skipped_ = 0;  // the files below this one are not read any further
        std::stop_source stop_;
    };

    std::shared_ptr<Shared> shared_;
    UniqueHandle<HANDLE, &CloseHandle> thread_;
};

FileComparison Unreadable(DWORD error) { return {ComparisonResult::Unreadable, SystemReason(error)}; }

// Compares the originals' pieces with the copies', each side from its read-ahead.
class PairComparison {
public:
    explicit PairComparison(const FilePairs& pairs, ComparisonProgress& progress)
        : originals_(pairs, &FilePair::original), copies_(pairs, &FilePair::copy), progress_(progress)
    {
    }

    // The verdict on the next file, or nothing once `stop` is requested.
    std::optional<FileComparison> Next([[maybe_unused]] std::size_t file, const std::stop_token& stop)
    {
        for (bool first = true;; first = false) {
            std::optional<Piece> original = originals_.Next(stop);
            std::optional<Piece> copy = original ? copies_.Next(stop) : std::nullopt;
            if (!copy) {
                if (original) originals_.Release(*original);
                return std::nullopt;
            }
            assert(original->file == file && copy->file == file);  // each side hands over every file, in order
            if (std::optional<FileComparison> verdict = VerdictOn(*original, *copy, first)) {
                originals_.Skip(*original, stop);
                copies_.Skip(*copy, stop);
                return verdict;
            }
            progress_.BytesCompared(original->bytes);
            originals_.Release(*original);
            copies_.Release(*copy);
            if (original->last) return FileComparison{};
        }
    }

private:
    // The file's verdict once these two pieces of it are known, or nothing while it is equal so far.
    std::optional<FileComparison> VerdictOn(const Piece& original, const Piece& copy, bool first) const
    {
        if (first && copy.error && IsMissing(copy.error)) return FileComparison{ComparisonResult::MissingInCopy, {}};
        if (original.error) return Unreadable(original.error);
        if (copy.error) return Unreadable(copy.error);
        if (copy.size != original.size || copy.bytes != original.bytes || copy.last != original.last)
            return FileComparison{ComparisonResult::Differs, {}};
        if (original.bytes > 0 &&
            std::memcmp(originals_.Bytes(original), copies_.Bytes(copy), original.bytes) != 0)
            return FileComparison{ComparisonResult::Differs, {}};
        return std::nullopt;
    }

    ReadAhead originals_;
    ReadAhead copies_;
    ComparisonProgress& progress_;
};

// Reports the pairs from `first` on as unread, for a failure of the comparison itself (`thrown`).
void ReportUnread(const FilePairs& pairs, std::size_t first, ComparisonProgress& progress,
                  std::exception_ptr thrown) noexcept
{
    try {
        FileComparison unread = Unreadable(ErrorOf(thrown));
        try {
            std::rethrow_exception(thrown);
        } catch (const Failure& failure) {
            unread.reason = failure.reason();  // the system's own words where it gave them
        } catch (...) {
        }
        for (std::size_t i = first; i < pairs.Count(); ++i) progress.FileCompared(i, unread);
    } catch (...) {
        // Nothing more can be told: the files not reported count as not compared.
    }
}

}  // namespace

void Win32FileComparer::Compare(const FilePairs& pairs, ComparisonProgress& progress,
                                std::stop_token stop)
{
    std::size_t reported = 0;
    try {
        if (pairs.Count() == 0) return;
        PairComparison comparison(pairs, progress);
        for (; reported < pairs.Count(); ++reported) {
            const std::optional<FileComparison> verdict = comparison.Next(reported, stop);
            if (!verdict) return;
            progress.FileCompared(reported, *verdict);
        }
    } catch (...) {
        // No memory for the blocks or a thread, or a failure while reporting: the rest is reported unread
        // rather than equal.
        ReportUnread(pairs, reported, progress, std::current_exception());
    }
}

}  // namespace korvane
