#pragma once
#include <array>
#include <string>
#include <vector>

namespace korvane {

struct SourceSlot {
    std::wstring name;
    std::wstring path;
    bool registered = false;
    bool operator==(const SourceSlot&) const = default;
};

struct DirEntry {
    std::wstring name;
    std::wstring path;
    bool operator==(const DirEntry&) const = default;
};

// The one process-wide record of the registered folders and the password. Only LoadSettings writes it.
struct SettingsStore {
    static constexpr std::size_t kSlotCount = 3;
    static constexpr std::size_t kMaxDestinations = 32767;

    std::array<SourceSlot, kSlotCount> sources;
    std::vector<DirEntry> destinations;
    std::wstring password;  // plain text; empty means no password
};

}  // namespace korvane
