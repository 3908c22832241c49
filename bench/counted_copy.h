#pragma once
// What the benchmarks of the own copy hear from the copier: only whether every entry came through whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/file_copier.h"

namespace korvane::bench {

class CountedCopy : public CopyProgress {
public:
    void Copying(std::size_t) override {}
    void BytesCopied(std::uint64_t) override {}
    void BytesChecked(std::uint64_t) override {}
    void EntryCopied(std::size_t, const CopiedEntry& entry) override
    {
        const auto equal = [](const FileComparison& copy) { return copy.result == ComparisonResult::Equal; };
        if (equal(entry.card) && std::all_of(entry.copies.begin(), entry.copies.end(), equal)) ++wholeEntries;
    }
    std::size_t wholeEntries = 0;
};

}  // namespace korvane::bench
