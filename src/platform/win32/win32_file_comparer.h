#pragma once
#include "platform/file_comparer.h"

namespace korvane {

// Compares files with their copies past the system's cache: both sides are opened with FILE_FLAG_NO_BUFFERING,
// so every read goes to the device, into page-aligned blocks (VirtualAlloc) of a size that every sector size
// divides; the last read of a file asks for a whole block and gets the bytes that are there. The copies are read
// on a thread of their own, a few blocks ahead, through file after file, while the calling thread reads each
// original and compares: the card and the disk are read at the same time, and the pass takes about the time of
// the slower one. The two threads hand over one piece a block (or a file, for the small ones).
//
// - The buffers are kReadAheadBlocks + 1 blocks, whatever the number and size of the files.
// - A copy that is not there (file or folder missing) is MissingInCopy; any other failure to open or read
//   either side is Unreadable with the system's reason; another size, a shorter read or a byte that differs is
//   Differs, found as soon as the sizes or the first differing block are known.
// - Paths of any length (the "\\?\" form past MAX_PATH) and any Unicode name.
// - A stop is seen between blocks: Compare returns within one block's read.
class Win32FileComparer : public FileComparer {
public:
    static constexpr unsigned long kBlockSize = 1ul << 20;
    static constexpr std::size_t kReadAheadBlocks = 4;

    void Compare(const FilePairs& pairs, ComparisonProgress& progress, std::stop_token stop) override;
};

}  // namespace korvane
