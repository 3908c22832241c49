#pragma once
#include "platform/file_comparer.h"

namespace korvane {

// Compares files with their copies past the system's cache: both sides are opened with FILE_FLAG_NO_BUFFERING,
// so every read goes to the device, into page-aligned blocks (VirtualAlloc) of a size that every sector size
// divides; the last read of a file asks for a whole block and gets the bytes that are there. The originals and the
// copies are each read on a thread of their own, a few blocks ahead, through file after file, while the calling
// thread compares: the card and the disk are read at the same time, and the pass takes about the time of the
// slower one. The threads hand over one piece a block (or a file, for the small ones).
//
// - The buffers are 2 x kReadAheadBlocks blocks, whatever the number and size of the files.
// - A copy that is not there (file or folder missing) is MissingInCopy; any other failure to open or read
//   either side is Unreadable with the system's reason; another size, a shorter read or a byte that differs is
//   Differs, found as soon as the sizes or the first differing block are known.
// - Paths of any length (the "\\?\" form past MAX_PATH) and any Unicode name. Both sides are opened sharing
//   reading and writing: a copy that a photo manager holds open is read, and one that changes meanwhile differs.
// - A stop is seen while waiting for a block: Compare returns at once, also while a read hangs on a device that
//   stops answering (that read is cancelled, or left to its thread where the system cannot cancel it).
// - A failure of the comparer itself (no memory, an exception on a reading thread) makes files Unreadable; Compare
//   throws nothing.
class Win32FileComparer : public FileComparer {
public:
    static constexpr unsigned long kBlockSize = 1ul << 20;
    static constexpr std::size_t kReadAheadBlocks = 3;  // for each side

    void Compare(const FilePairs& pairs, ComparisonProgress& progress, std::stop_token stop) override;
};

}  // namespace korvane
