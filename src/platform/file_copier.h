#pragma once
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/file_comparer.h"

namespace korvane {

// A folder to make or a file to copy, at the same path below every target folder.
struct CopyEntry {
    std::wstring source;        // the full path on the card
    std::wstring relativePath;  // below each target folder, its names joined by "\"
    bool isFolder = false;
    std::uint64_t size = 0;     // as listed; what the progress counts with (the file is copied as it is read)
};

// What to copy where. The card is read once, whatever the number of targets.
struct CopyJob {
    std::vector<CopyEntry> entries;    // a folder before what it holds
    std::vector<std::wstring> targets;  // the folders the entries go into (made when missing)
    bool check = false;                 // read each copy back past the cache and compare its checksum with the card's
};

// What became of one entry.
struct CopiedEntry {
    // The card's side: Equal once every byte was read, Unreadable with the system's reason when the card did not
    // give them (nothing is written then).
    FileComparison card;
    // One per target, in the job's order (empty when the card was unreadable): Equal once the copy is whole under
    // its name and, when checking, read back with the card's checksum; Differs when read back with another
    // checksum or size; MissingInCopy when it was gone when read back; Unreadable, with the system's reason, when
    // it could not be written or read back.
    std::vector<FileComparison> copies;
};

// How a copy ended; entries that had their outcome are reported whatever the ending.
enum class CopyEnd {
    Finished,  // every entry reported
    Stopped,   // the stop was requested
    DiskFull,  // a target's disk filled up: the copy stopped
    Failed,    // the copy could not go on (no memory for its blocks, a thread that failed); the reason says why
};

struct CopyEnding {
    CopyEnd end = CopyEnd::Finished;
    std::size_t target = 0;  // the target whose disk filled up, for DiskFull
    std::wstring reason;     // the system's reason, for DiskFull and Failed
};

// Told, on the thread that called Copy, how far a copy has come.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    // Every target now holds the bytes of the entry at `index` up to where it is being written.
    virtual void Copying(std::size_t index) = 0;
    // `count` more card bytes have been written to every target.
    virtual void BytesCopied(std::uint64_t count) = 0;
    // `count` more bytes have been read back from every target and hashed.
    virtual void BytesChecked(std::uint64_t count) = 0;
    // The entry at `index` is done; entries are reported in their order, each once.
    virtual void EntryCopied(std::size_t index, const CopiedEntry& entry) = 0;
};

// Copies a card's files into one or more folders, reading the card once.
class FileCopier {
public:
    virtual ~FileCopier() = default;
    // Makes every folder and file of `job` under each target and reports each entry. Each file is written under a
    // temporary name in its folder and takes its real name (replacing a file there) only when whole; a stopped
    // or failed copy removes its temporary files. Files keep their last-write time and attributes as the card
    // has them, folders their attributes. Returns once every entry is reported, or soon (within half a second,
    // also while the card does not answer) after `stop` is requested or a disk fills up. Throws nothing.
    virtual CopyEnding Copy(const CopyJob& job, CopyProgress& progress, std::stop_token stop) = 0;
};

}  // namespace korvane
