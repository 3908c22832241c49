#pragma once
#include <memory>

#include "platform/win32/win32_copy_pipeline.h"
#include "platform/win32/win32_hand_over.h"

namespace korvane {

// Reads the files of one target back, each as soon as its writer has given it its name, while later files are
// being copied: flushes the writer's handle to the disk, then reads the file past the cache and compares its
// size and checksum with the card's. Flushing and reading back run on two threads: the flush of a file waits on
// the disk while the file before it is read back and hashed.
class CopyChecker {
public:
    // Files handed over and not yet flushed, and files flushed and not yet read back; the writer waits past this
    // many, and so does the flushing.
    static constexpr std::size_t kQueued = 16;

    CopyChecker(std::shared_ptr<CopyPipeline> pipeline, std::size_t target);

    // The writer's side: the file of `entry`, complete under its name, with the handle that wrote it; waits while
    // kQueued files are waiting. Returns false, closing the handle, once the copy stops.
    bool Take(std::size_t entry, UniqueFileHandle written);
    // No more files come.
    void Close();

    // Flushes the files as they come until Close or the stop, and hands them on to ReadBackFiles.
    void FlushFiles();
    // Reads back and reports the flushed files until FlushFiles ends or the stop.
    void ReadBackFiles();

private:
    struct Written {
        std::size_t entry = 0;
        UniqueFileHandle handle;
    };
    struct Flushed {
        std::size_t entry = 0;
        DWORD error = 0;  // of the flush: the file is not read back
    };

    FileComparison ReadBack(const std::wstring& path, const CardFacts& card);

    std::shared_ptr<CopyPipeline> pipeline_;
    std::size_t target_;
    HandOver<Written> written_;
    HandOver<Flushed> flushed_;
    // The reading back's:
    UniquePages block_;
    StreamingChecksum checksum_;
};

}  // namespace korvane
