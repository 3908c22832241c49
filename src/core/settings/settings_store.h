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

// What the program does beyond copying: each off unless the user turns it on, so that a settings file without
// them keeps the program as it was.
struct Options {
    bool verify = false;      // read every copied file back, past the system's cache, and compare it
    bool skipCopied = false;  // look for the card's files among earlier copies before copying
    bool selectArrivedCard = false;  // a card going in chooses the one source slot on its drive
    bool readCardOnce = false;  // the program copies by itself, reading the card once, and checks against checksums
    std::wstring backupFolder{};  // each card is copied below it too, into a new folder of the same name; empty: none
    bool operator==(const Options&) const = default;
};

// The one process-wide record of the registered folders and the password. Only LoadSettings writes it.
struct SettingsStore {
    static constexpr std::size_t kSlotCount = 3;
    static constexpr std::size_t kMaxDestinations = 32767;

    std::array<SourceSlot, kSlotCount> sources;
    std::vector<DirEntry> destinations;
    std::wstring password;  // plain text; empty means no password
    Options options;
};

}  // namespace korvane
