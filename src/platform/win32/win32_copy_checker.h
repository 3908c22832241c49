#pragma once
#include <deque>
#include <memory>

#include "platform/win32/win32_copy_pipeline.h"

namespace korvane {

// Reads the files of one target back, each as soon as its writer has given it its name, while later files are
// being copied: flushes the writer's handle to the disk, then reads the file past the cache and compares its
// size and checksum with the card's.
class CopyChecker {
public:
    // Files handed over and not yet checked; the writer waits past this many.
    static constexpr std::size_t kQueued = 16;

    CopyChecker(std::shared_ptr<CopyPipeline> pipeline, std::size_t target);

    // The writer's side: the file of `entry`, complete under its name, with the handle that wrote it; waits while
    // kQueued files are waiting. Returns false, closing the handle, once the copy stops.
    bool Take(std::size_t entry, UniqueFileHandle written);
    // No more files come.
    void Close();

    // Checks the files as they come until Close or the stop.
    void Run();

private:
    struct Written {
        std::size_t entry = 0;
        UniqueFileHandle handle;
    };

    std::optional<Written> Next();
    FileComparison Check(Written written);
    FileComparison ReadBack(const std::wstring& path, const CardFacts& card);

    std::shared_ptr<CopyPipeline> pipeline_;
    std::size_t target_;
    UniquePages block_;
    StreamingChecksum checksum_;
    // Guarded by the pipeline's monitor:
    std::deque<Written> queue_;
    bool closed_ = false;
};

}  // namespace korvane
