#include "platform/win32/win32_file_comparer.h"

#include <windows.h>

#include <cstring>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_monitor.h"
#include "platform/win32/win32_paths.h"

namespace korvane {
namespace {

void ReleasePages(void* pages) noexcept { VirtualFree(pages, 0, MEM_RELEASE); }
using UniquePages = UniqueHandle<void*, &ReleasePages>;

constexpr std::size_t kBlockSize = Win32FileComparer::kBlockSize;
constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

// Page-aligned blocks, as unbuffered reads need them.
UniquePages AllocateBlocks(std::size_t count)
{
    UniquePages pages(VirtualAlloc(nullptr, count * kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!pages) ThrowLastError();
    return pages;
}

// A file opened for unbuffered reading, or the reason it could not be.
struct OpenedFile {
    UniqueFileHandle handle;
    std::uint64_t size = 0;
    DWORD error = 0;  // when `handle` is not valid
};

OpenedFile OpenUnbuffered(const std::wstring& path)
{
    OpenedFile file;
    try {
        file.handle = UniqueFileHandle(CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN,
                                                   nullptr));
    } catch (const Failure&) {
        file.error = ERROR_BAD_PATHNAME;
        return file;
    }
    LARGE_INTEGER size{};
    if (!file.handle || !GetFileSizeEx(file.handle.get(), &size)) {
        file.error = GetLastError();
        file.handle.reset();
        return file;
    }
    file.size = static_cast<std::uint64_t>(size.QuadPart);
    return file;
}

// Reads the next block of `file` into `into`: a whole block at a block-aligned offset, also for the tail, where
// the system gives what is there. Returns the bytes read, or nothing with the error in `error`.
std::optional<DWORD> ReadBlock(const OpenedFile& file, std::byte* into, DWORD& error)
{
    DWORD got = 0;
    if (ReadFile(file.handle.get(), into, kBlockSize, &got, nullptr)) return got;
    error = GetLastError();
    return std::nullopt;
}

// A part of a copy as the read-ahead hands it over: a block of its bytes, or the reason it could not be read.
// Each file ends with a piece marked last; a failure is always last.
struct Piece {
    std::size_t file = 0;
    std::uint64_t size = 0;   // the file's size, in every piece of it
    DWORD error = 0;          // the file could not be opened or read
    std::size_t block = kNoBlock;
    DWORD bytes = 0;          // 0 in a last piece when the file ended before its size
    bool last = false;
};

// Reads the copies of the pairs in order into a few blocks, on a thread of its own, ahead of the comparison:
// the copy's device works while the comparing thread reads the original from its own.
class CopyReadAhead {
public:
    // `pairs` outlives the reader.
    explicit CopyReadAhead(const FilePairs& pairs)
        : pairs_(pairs), pages_(AllocateBlocks(Win32FileComparer::kReadAheadBlocks))
    {
        for (std::size_t block = 0; block < Win32FileComparer::kReadAheadBlocks; ++block) free_.push_back(block);
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    }

    // The next piece, or nothing once `stop` is requested.
    std::optional<Piece> Next(std::stop_token stop)
    {
        std::optional<Piece> piece;
        monitor_.WaitThen(stop, [this] { return !ready_.empty(); }, [this, &piece] {
            piece = ready_.front();
            ready_.pop_front();
        });
        return piece;
    }

    const std::byte* Bytes(const Piece& piece) const { return Block(piece.block); }

    // Gives the piece's block back for the next read.
    void Release(const Piece& piece)
    {
        if (piece.block != kNoBlock) ReleaseBlock(piece.block);
    }

    // The comparison has its verdict on `piece`'s file: the reader reads no more of it, and the file's pieces
    // still on the way are let go.
    void Skip(const Piece& piece, std::stop_token stop)
    {
        Release(piece);
        if (piece.last) return;
        monitor_.Update([&] { skipped_ = piece.file + 1; });
        for (std::optional<Piece> next = Next(stop); next; next = Next(stop)) {
            Release(*next);
            if (next->last) return;
        }
    }

private:
    std::byte* Block(std::size_t block) const { return static_cast<std::byte*>(pages_.get()) + block * kBlockSize; }

    void ReleaseBlock(std::size_t block)
    {
        monitor_.Update([&] { free_.push_back(block); });
    }

    void Push(const Piece& piece)
    {
        monitor_.Update([&] { ready_.push_back(piece); });
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

    void Run(std::stop_token stop)
    {
        for (std::size_t file = 0; file < pairs_.Count() && !stop.stop_requested(); ++file) Read(file, stop);
    }

    // Hands over the file's blocks, the last one marked; or, when the file cannot be read to its size or is
    // skipped, a last piece without bytes.
    void Read(std::size_t file, std::stop_token stop)
    {
        const OpenedFile opened = OpenUnbuffered(pairs_.Pair(file).copy);
        DWORD error = opened.error;
        for (std::uint64_t done = 0; !error && done < opened.size;) {
            const std::optional<std::size_t> block = TakeBlock(file, stop);
            if (!block) break;  // skipped: the comparison drains the file up to its last piece
            const std::optional<DWORD> got = ReadBlock(opened, Block(*block), error);
            if (!got || *got == 0) {  // a failure, or shorter than its size said
                ReleaseBlock(*block);
                break;
            }
            done += *got;
            const bool last = done >= opened.size;
            Push({.file = file, .size = opened.size, .block = *block, .bytes = *got, .last = last});
            if (last) return;
        }
        Push({.file = file, .size = opened.size, .error = error, .last = true});
    }

    const FilePairs& pairs_;
    UniquePages pages_;
    Monitor monitor_;
    std::deque<Piece> ready_;
    std::vector<std::size_t> free_;
    std::size_t skipped_ = 0;  // the files below this one are not read any further
    std::jthread thread_;      // last: it starts once everything it uses is there
};

FileComparison Unreadable(DWORD error) { return {ComparisonResult::Unreadable, SystemReason(error)}; }

// Compares each original, read on the calling thread, with the copy's pieces from the read-ahead.
class PairComparison {
public:
    PairComparison(const FilePairs& pairs, ComparisonProgress& progress)
        : pairs_(pairs), block_(AllocateBlocks(1)), copies_(pairs), progress_(progress)
    {
    }

    // The verdict on the next file, or nothing once `stop` is requested.
    std::optional<FileComparison> Next(std::size_t file, std::stop_token stop)
    {
        const OpenedFile original = OpenUnbuffered(pairs_.Pair(file).original);
        std::optional<Piece> copy = copies_.Next(stop);
        if (!copy) return std::nullopt;
        if (copy->error && IsMissing(copy->error)) return Verdict({ComparisonResult::MissingInCopy, {}}, *copy, stop);
        if (original.error) return Verdict(Unreadable(original.error), *copy, stop);
        if (copy->error) return Verdict(Unreadable(copy->error), *copy, stop);
        if (copy->size != original.size) return Verdict({ComparisonResult::Differs, {}}, *copy, stop);
        for (;;) {
            if (copy->error) return Verdict(Unreadable(copy->error), *copy, stop);
            DWORD error = 0;
            const std::optional<DWORD> got = ReadBlock(original, Bytes(), error);
            if (!got) return Verdict(Unreadable(error), *copy, stop);
            if (*got != copy->bytes || std::memcmp(Bytes(), copies_.Bytes(*copy), *got) != 0)
                return Verdict({ComparisonResult::Differs, {}}, *copy, stop);
            progress_.BytesCompared(*got);
            copies_.Release(*copy);
            if (copy->last) return FileComparison{};
            if (!(copy = copies_.Next(stop))) return std::nullopt;
        }
    }

private:
    std::byte* Bytes() const { return static_cast<std::byte*>(block_.get()); }

    // Lets the rest of the copy go once the file has its verdict.
    FileComparison Verdict(FileComparison verdict, const Piece& copy, std::stop_token stop)
    {
        copies_.Skip(copy, stop);
        return verdict;
    }

    const FilePairs& pairs_;
    UniquePages block_;
    CopyReadAhead copies_;
    ComparisonProgress& progress_;
};

}  // namespace

void Win32FileComparer::Compare(const FilePairs& pairs, ComparisonProgress& progress,
                                std::stop_token stop)
{
    if (pairs.Count() == 0) return;
    std::optional<PairComparison> comparison;
    try {
        comparison.emplace(pairs, progress);
    } catch (const Failure& failure) {
        // No memory for the blocks: every file is reported unread rather than equal.
        for (std::size_t i = 0; i < pairs.Count(); ++i)
            progress.FileCompared(i, {ComparisonResult::Unreadable, failure.reason()});
        return;
    }
    for (std::size_t i = 0; i < pairs.Count(); ++i) {
        const std::optional<FileComparison> verdict = comparison->Next(i, stop);
        if (!verdict) return;
        progress.FileCompared(i, *verdict);
    }
}

}  // namespace korvane
