#include "platform/win32/xxh3_checksum.h"

// xxHash as a header-only library: its functions are compiled here, with nothing to link.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace korvane {

struct StreamingChecksum::State {
    XXH3_state_t xxh3;
};

StreamingChecksum::StreamingChecksum() : state_(std::make_unique<State>()) { Reset(); }

StreamingChecksum::~StreamingChecksum() = default;
StreamingChecksum::StreamingChecksum(StreamingChecksum&&) noexcept = default;
StreamingChecksum& StreamingChecksum::operator=(StreamingChecksum&&) noexcept = default;

void StreamingChecksum::Reset() { XXH3_128bits_reset(&state_->xxh3); }

void StreamingChecksum::Add(const void* bytes, std::size_t count) { XXH3_128bits_update(&state_->xxh3, bytes, count); }

Checksum StreamingChecksum::Value() const
{
    const XXH128_hash_t hash = XXH3_128bits_digest(&state_->xxh3);
    return {hash.low64, hash.high64};
}

}  // namespace korvane
