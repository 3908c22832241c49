#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace korvane {

// A file's XXH3 128-bit hash (xxHash), the checksum a copy is compared with.
struct Checksum {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    bool operator==(const Checksum&) const = default;
};

// The checksum of bytes given piece after piece: the same as of all of them at once.
class StreamingChecksum {
public:
    StreamingChecksum();
    ~StreamingChecksum();
    StreamingChecksum(StreamingChecksum&&) noexcept;
    StreamingChecksum& operator=(StreamingChecksum&&) noexcept;

    // Starts again, for the next file.
    void Reset();
    void Add(const void* bytes, std::size_t count);
    Checksum Value() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace korvane
