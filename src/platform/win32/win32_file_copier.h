#pragma once
#include "platform/file_copier.h"

namespace korvane {

// Copies a card into one or more folders from one read of it: a reader thread reads the card past the system's
// cache in large page-aligned blocks and hashes each file as it comes (XXH3, 128 bits, when the job checks); a
// writer thread per target writes the blocks, each file under a temporary name that it renames when whole; a
// checker per target flushes each finished file on one thread and reads it back past the cache on another,
// comparing its checksum with the card's, while later files are being copied. The calling thread reports.
//
// - The buffers are the reader's blocks and one block per checker, whatever the number and size of the files.
// - A stop cancels a read the card is slow to answer (CancelSynchronousIo); when the system cannot cancel it (a
//   card that hangs under Wine), Copy returns without the reader, which ends on its own when the read does.
// - No exception leaves a thread: a thread that fails ends the copy as Failed.
class Win32FileCopier : public FileCopier {
public:
    CopyEnding Copy(const CopyJob& job, CopyProgress& progress, std::stop_token stop) override;
};

}  // namespace korvane
