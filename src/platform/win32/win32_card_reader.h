#pragma once
#include <memory>

#include "platform/win32/win32_copy_pipeline.h"

namespace korvane {

// Reads the job's entries off the card, once, in order, past the system's cache, into the pipeline's blocks
// (several small files share a block), hashing each file's bytes as they come when the job checks, and hands
// them to the writers.
class CardReader {
public:
    explicit CardReader(std::shared_ptr<CopyPipeline> pipeline) : pipeline_(std::move(pipeline)) {}

    // Reads every entry, then hands the writers their end; returns early once the copy stops.
    void Run();

private:
    void ReadFolder(std::size_t entry);
    void ReadCardFile(std::size_t entry);
    // Reads the next part of `file` into the current block (a new one when it is full); the bytes read, or
    // nothing with the reason in `facts`.
    std::optional<DWORD> ReadPart(const UnbufferedFile& file, std::size_t entry, CardFacts& facts);

    std::shared_ptr<CopyPipeline> pipeline_;
    std::optional<StreamingChecksum> checksum_;
    std::size_t block_ = kNoBlock;
    std::size_t filled_ = CopyPipeline::kBlockSize;  // of the current block
};

}  // namespace korvane
