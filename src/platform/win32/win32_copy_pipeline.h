#pragma once
// What the threads of a copy share: the card's blocks as the reader hands them to the writers, what each entry
// came to, the figures of the progress, and the stop.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <stop_token>
#include <vector>

#include "platform/file_copier.h"
#include "platform/win32/win32_monitor.h"
#include "platform/win32/win32_unbuffered.h"
#include "platform/win32/xxh3_checksum.h"

namespace korvane {

inline constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

// One step of the copy as the reader hands it to every writer, in the job's order.
struct Piece {
    enum class Kind {
        Folder,     // make the entry's folder
        FileStart,  // the card's file is open: start its copy
        Bytes,      // `bytes` of the file at `offset` in `block`
        FileEnd,    // the file is read (or failed: its facts say so)
        End,        // no more entries
    };
    Kind kind = Kind::End;
    std::size_t entry = 0;
    std::size_t block = kNoBlock;
    std::size_t offset = 0;
    std::uint32_t bytes = 0;
};

// What the reader found of an entry on the card; written before the piece that ends the entry is handed over.
struct CardFacts {
    DWORD attributes = 0;
    FILETIME lastWrite{};
    std::uint64_t bytesRead = 0;
    DWORD error = 0;  // the card did not give the file
    Checksum checksum;
};

// The figures of the progress, as the calling thread reports them.
struct CopyFigures {
    std::size_t entry = 0;  // the entry that every writer has reached
    std::uint64_t copied = 0;
    std::uint64_t checked = 0;
};

class CopyPipeline {
public:
    // The card is read in kBlockSize blocks; kBlocks of them travel between the reader and the writers. Few and
    // small enough to stay in the processor's cache while they are read into and written from: copying files
    // the system held in its cache, 32 blocks of 1 MiB took 1.2 to 1.7 times CopyFileExW's time, 8 of 256 KiB
    // about as long as it.
    static constexpr std::size_t kBlockSize = 1u << 18;
    static constexpr std::size_t kBlocks = 8;

    // Takes the blocks' memory; throws Failure when there is none.
    explicit CopyPipeline(const CopyJob& job);

    const CopyJob& job() const { return job_; }
    std::size_t targets() const { return job_.targets.size(); }
    // Where the entry goes in `target`.
    std::wstring CopyPath(std::size_t target, std::size_t entry) const;
    std::stop_token stopToken() const { return stop_.get_token(); }
    bool stopping() const { return stop_.stop_requested(); }

    // Ends the copy; the first ending asked for is the one the copy returns.
    void Stop(const CopyEnding& ending);
    // Ends the copy when `error` says that the disk of `target` is full.
    void StopWhenDiskFull(std::size_t target, DWORD error);
    CopyEnding Ending();

    // The reader's side.
    std::byte* Block(std::size_t block) const;
    // The block after `current` in the ring (the first for kNoBlock), once every writer is done with it; nothing
    // once the copy stops.
    std::optional<std::size_t> TakeBlock(std::size_t current);
    // Hands `piece` to every writer; with the last piece of an entry, what the card gave of it.
    void Hand(const Piece& piece);
    void Hand(const Piece& piece, const CardFacts& facts);
    CardFacts Facts(std::size_t entry);

    // A writer's side.
    // The next piece for writer `target`, or nothing once the copy stops.
    std::optional<Piece> Next(std::size_t target);
    // The writer is done with `piece` and its block; its bytes count as copied, written or not, so that the
    // figures reach the total past a file that could not be written.
    void Written(std::size_t target, const Piece& piece);

    // The outcome of an entry in one target: Equal once whole (and checked, when checking).
    void Outcome(std::size_t target, std::size_t entry, const FileComparison& copy);
    void Checked(std::size_t target, std::uint64_t bytes);

    // The calling thread's side: waits until something changed, then takes the figures and the entries done since
    // the last call, in their order. Returns false, without taking, once the copy stops or `caller` is stopped
    // (seen within Monitor::kStopSeenMs).
    bool WaitForNews(std::stop_token caller, CopyFigures& figures,
                     std::vector<std::pair<std::size_t, CopiedEntry>>& done);
    // The same without waiting.
    void TakeNews(CopyFigures& figures, std::vector<std::pair<std::size_t, CopiedEntry>>& done);
    bool AllReported();

    // Lets a thread wait on the pipeline's lock for something of its own (a checker's hand-overs).
    Monitor& monitor() { return monitor_; }

private:
    struct EntryState {
        bool cardDone = false;
        CardFacts facts;
        std::vector<std::optional<FileComparison>> copies;
    };

    bool Complete(const EntryState& entry) const;
    void CollectNews(CopyFigures& figures, std::vector<std::pair<std::size_t, CopiedEntry>>& done);
    void Push(const Piece& piece);

    const CopyJob job_;  // its own: a reader left behind by a stop outlives the caller's
    UniquePages pages_;
    std::stop_source stop_;
    Monitor monitor_;
    // Guarded by the monitor:
    std::optional<CopyEnding> ending_;
    std::vector<unsigned> holds_;  // per block: the writers that still need it
    std::deque<Piece> pieces_;     // handed over and not yet written by every writer
    std::size_t firstPiece_ = 0;   // the number of the piece at the front
    std::vector<std::size_t> nextPiece_;  // per writer
    std::vector<EntryState> entries_;
    std::vector<std::size_t> entryAt_;  // per writer
    std::vector<std::uint64_t> copied_;   // per writer
    std::vector<std::uint64_t> checked_;  // per checker
    std::size_t reported_ = 0;
    bool news_ = false;
};

}  // namespace korvane
