#pragma once
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

namespace korvane {

// How one copied file compared with its original.
enum class ComparisonResult {
    Equal,          // the same bytes, as many of them
    Differs,        // another length, or a byte that is not the same
    MissingInCopy,  // no file at the copy's path
    Unreadable,     // one of the two could not be opened or read to its end
};

struct FileComparison {
    ComparisonResult result = ComparisonResult::Equal;
    std::wstring reason;  // the system's own text, for Unreadable
    bool operator==(const FileComparison&) const = default;
};

// A file and its copy, by full path.
struct FilePair {
    std::wstring original;
    std::wstring copy;
};

// The pairs to compare, each made when it is reached, so that a card's many paths are not all held once more
// for the comparison.
class FilePairs {
public:
    virtual ~FilePairs() = default;
    virtual std::size_t Count() const = 0;
    // Called from more than one thread at once.
    virtual FilePair Pair(std::size_t index) const = 0;
};

// Told, on the comparing thread, how far a comparison has come.
class ComparisonProgress {
public:
    virtual ~ComparisonProgress() = default;
    // `count` more bytes of the current pair have been compared.
    virtual void BytesCompared(std::uint64_t count) = 0;
    // The pair at `index` has been compared; pairs are reported in their order, each once.
    virtual void FileCompared(std::size_t index, const FileComparison& comparison) = 0;
};

// Compares files with their copies byte for byte, reading both past the system's file cache (a file read
// straight after it was written would otherwise come from memory, and the comparison would prove nothing).
class FileComparer {
public:
    virtual ~FileComparer() = default;
    // Compares each pair in order and reports it. Returns once every pair is reported, or soon after `stop` is
    // requested, leaving the pairs not yet compared unreported. Writes nothing and throws nothing.
    virtual void Compare(const FilePairs& pairs, ComparisonProgress& progress, std::stop_token stop) = 0;
};

}  // namespace korvane
