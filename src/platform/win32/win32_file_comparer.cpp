#include "platform/win32/win32_file_comparer.h"

#include <windows.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_paths.h"

namespace korvane {
namespace {

void ReleasePages(void* pages) noexcept { VirtualFree(pages, 0, MEM_RELEASE); }
using UniquePages = UniqueHandle<void*, &ReleasePages>;

constexpr std::size_t kBlockSize = Win32FileComparer::kBlockSize;
constexpr std::size_t kBlocks = Win32FileComparer::kBlocksPerSide;

// What a reader hands the comparison, in the order of its files: for each file Failed, or Opened, then its
// blocks as Data, then End (or Failed, when a read fails).
struct Piece {
    enum class Kind { Opened, Data, End, Failed };
    Kind kind = Kind::End;
    std::size_t file = 0;
    std::uint64_t size = 0;  // Opened: the file's size
    std::size_t block = 0;   // Data: which of the reader's blocks holds the bytes
    DWORD bytes = 0;         // Data
    DWORD error = 0;         // Failed

    bool EndsFile() const { return kind == Kind::End || kind == Kind::Failed; }
};

// Reads one side's files in order into its blocks on a thread of its own, waiting while every block is still
// being compared.
class SideReader {
public:
    // Reads the `side` of each pair; `pairs` outlives the reader.
    SideReader(const std::vector<FilePair>& pairs, const std::wstring FilePair::*side)
        : pairs_(pairs),
          side_(side),
          pages_(VirtualAlloc(nullptr, kBlocks * kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
        if (!pages_) ThrowLastError();
        for (std::size_t block = 0; block < kBlocks; ++block) free_.push_back(block);
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    }

    // The next piece, or nothing once `stop` is requested.
    std::optional<Piece> Next(std::stop_token stop)
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait(lock, stop, [this] { return !ready_.empty(); }) || stop.stop_requested())
            return std::nullopt;
        Piece piece = ready_.front();
        ready_.pop_front();
        return piece;
    }

    const std::byte* Bytes(const Piece& piece) const { return Block(piece.block); }

    // Gives a Data piece's block back for the next read.
    void Release(const Piece& piece)
    {
        if (piece.kind != Piece::Kind::Data) return;
        {
            const std::lock_guard lock(mutex_);
            free_.push_back(piece.block);
        }
        changed_.notify_all();
    }

    // The comparison has its verdict on `last`'s file: the reader reads no more of it, and its pieces still on
    // the way are let go.
    void Skip(const Piece& last, std::stop_token stop)
    {
        Release(last);
        if (last.EndsFile()) return;
        {
            const std::lock_guard lock(mutex_);
            skipped_ = last.file + 1;
        }
        changed_.notify_all();
        for (std::optional<Piece> piece = Next(stop); piece; piece = Next(stop)) {
            Release(*piece);
            if (piece->EndsFile()) return;
        }
    }

private:
    std::byte* Block(std::size_t block) const { return static_cast<std::byte*>(pages_.get()) + block * kBlockSize; }

    void Push(const Piece& piece)
    {
        {
            const std::lock_guard lock(mutex_);
            ready_.push_back(piece);
        }
        changed_.notify_all();
    }

    // A free block for the next read of `file`, or nothing when the reader is stopped or the file skipped.
    std::optional<std::size_t> TakeBlock(std::size_t file, std::stop_token stop)
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait(lock, stop, [&] { return !free_.empty() || skipped_ > file; }) || skipped_ > file)
            return std::nullopt;
        const std::size_t block = free_.back();
        free_.pop_back();
        return block;
    }

    void Run(std::stop_token stop)
    {
        for (std::size_t file = 0; file < pairs_.size() && !stop.stop_requested(); ++file) Read(file, stop);
    }

    static UniqueFileHandle Open(const std::wstring& path)
    {
        try {
            return UniqueFileHandle(CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN,
                                                nullptr));
        } catch (const Failure&) {
            SetLastError(ERROR_BAD_PATHNAME);
            return {};
        }
    }

    void Read(std::size_t file, std::stop_token stop)
    {
        const UniqueFileHandle handle = Open(pairs_[file].*side_);
        LARGE_INTEGER size{};
        if (!handle || !GetFileSizeEx(handle.get(), &size)) {
            Push({.kind = Piece::Kind::Failed, .file = file, .error = GetLastError()});
            return;
        }
        Push({.kind = Piece::Kind::Opened, .file = file, .size = static_cast<std::uint64_t>(size.QuadPart)});
        for (std::uint64_t done = 0; done < static_cast<std::uint64_t>(size.QuadPart);) {
            const std::optional<std::size_t> block = TakeBlock(file, stop);
            if (!block) break;
            // A whole block at a block-aligned offset, also for the tail: the system gives what is there.
            DWORD got = 0;
            if (!ReadFile(handle.get(), Block(*block), kBlockSize, &got, nullptr)) {
                const DWORD error = GetLastError();
                Release({.kind = Piece::Kind::Data, .block = *block});
                Push({.kind = Piece::Kind::Failed, .file = file, .error = error});
                return;
            }
            if (got == 0) {  // shorter than its size said: the comparison sees the end early
                Release({.kind = Piece::Kind::Data, .block = *block});
                break;
            }
            Push({.kind = Piece::Kind::Data, .file = file, .block = *block, .bytes = got});
            done += got;
        }
        Push({.kind = Piece::Kind::End, .file = file});
    }

    const std::vector<FilePair>& pairs_;
    const std::wstring FilePair::*side_;
    UniquePages pages_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Piece> ready_;
    std::vector<std::size_t> free_;
    std::size_t skipped_ = 0;  // the files below this one are not read any further
    std::jthread thread_;      // last: it starts once everything it uses is there
};

FileComparison Unreadable(DWORD error) { return {ComparisonResult::Unreadable, SystemReason(error)}; }

// The verdict where the two sides part: a failure on either, or else different contents.
FileComparison Parting(const Piece& original, const Piece& copy)
{
    if (copy.kind == Piece::Kind::Failed && IsMissing(copy.error)) return {ComparisonResult::MissingInCopy, {}};
    if (original.kind == Piece::Kind::Failed) return Unreadable(original.error);
    if (copy.kind == Piece::Kind::Failed) return Unreadable(copy.error);
    return {ComparisonResult::Differs, {}};
}

class PairComparison {
public:
    PairComparison(const std::vector<FilePair>& pairs, ComparisonProgress& progress)
        : original_(pairs, &FilePair::original), copy_(pairs, &FilePair::copy), progress_(progress)
    {
    }

    // The next file's verdict, or nothing once `stop` is requested.
    std::optional<FileComparison> Next(std::stop_token stop)
    {
        std::optional<Piece> original = original_.Next(stop);
        std::optional<Piece> copy = copy_.Next(stop);
        if (!original || !copy) return std::nullopt;
        if (original->kind == Piece::Kind::Opened && copy->kind == Piece::Kind::Opened &&
            original->size == copy->size) {
            while ((original = original_.Next(stop)) && (copy = copy_.Next(stop))) {
                if (original->kind == Piece::Kind::End && copy->kind == Piece::Kind::End) return FileComparison{};
                if (!Same(*original, *copy)) break;
                progress_.BytesCompared(original->bytes);
                original_.Release(*original);
                copy_.Release(*copy);
            }
            if (!original || !copy) return std::nullopt;
        }
        const FileComparison verdict = Parting(*original, *copy);
        original_.Skip(*original, stop);
        copy_.Skip(*copy, stop);
        return verdict;
    }

private:
    bool Same(const Piece& original, const Piece& copy) const
    {
        return original.kind == Piece::Kind::Data && copy.kind == Piece::Kind::Data && original.bytes == copy.bytes &&
               std::memcmp(original_.Bytes(original), copy_.Bytes(copy), original.bytes) == 0;
    }

    SideReader original_;
    SideReader copy_;
    ComparisonProgress& progress_;
};

}  // namespace

void Win32FileComparer::Compare(const std::vector<FilePair>& pairs, ComparisonProgress& progress,
                                std::stop_token stop)
{
    if (pairs.empty()) return;
    std::optional<PairComparison> comparison;
    try {
        comparison.emplace(pairs, progress);
    } catch (const Failure& failure) {
        // No memory for the blocks: every file is reported unread rather than equal.
        for (std::size_t i = 0; i < pairs.size(); ++i)
            progress.FileCompared(i, {ComparisonResult::Unreadable, failure.reason()});
        return;
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const std::optional<FileComparison> verdict = comparison->Next(stop);
        if (!verdict) return;
        progress.FileCompared(i, *verdict);
    }
}

}  // namespace korvane
