#pragma once
// The services a settings-file test needs: the in-memory file system, scripted dialogs and the CP932 codec;
// the shell and the clock are never used by the settings code and fail the test when called.
#include <gtest/gtest.h>

#include <string>

#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "support/cp932_codec.h"
#include "support/memory_file_system.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_verification.h"

namespace korvane {

inline void PrintTo(const SourceSlot& slot, std::ostream* os)
{
    *os << (slot.registered ? "registered " : "unregistered ") << ::testing::PrintToString(slot.name) << " "
        << ::testing::PrintToString(slot.path);
}
inline void PrintTo(const MessageBoxSpec& box, std::ostream* os)
{
    *os << "box " << ::testing::PrintToString(box.title) << ": " << ::testing::PrintToString(box.text) << " icon "
        << static_cast<int>(box.icon) << " buttons " << static_cast<int>(box.buttons)
        << (box.secondButtonDefault ? " second default" : "");
}
inline void PrintTo(const DirEntry& entry, std::ostream* os)
{
    *os << ::testing::PrintToString(entry.name) << " " << ::testing::PrintToString(entry.path);
}

}  // namespace korvane

namespace korvane::testing {

class UnusedShell : public Shell {
public:
    ShellCopyOutcome CopyFiles(WindowHandle, const std::wstring&, const std::wstring&, CopyCollision) override
    {
        ADD_FAILURE() << "the settings code copied files";
        return {};
    }
    ShellCopyOutcome CopyFileList(WindowHandle, const std::vector<FileCopy>&) override
    {
        ADD_FAILURE() << "the settings code copied files";
        return {};
    }
    void Explore(WindowHandle, const std::wstring&) override { ADD_FAILURE() << "the settings code explored"; }
};

class UnusedClock : public Clock {
public:
    LocalDate Today() const override
    {
        ADD_FAILURE() << "the settings code asked for the date";
        return {};
    }
};

struct SettingsTestServices {
    MemoryFileSystem fileSystem;
    decltype(MakeCp932Codec()) codec = MakeCp932Codec();
    ScriptedDialogs dialogs;
    UnusedShell shell;
    UnusedClock clock;
    ContentComparer comparer{fileSystem};
    ContentCopier copier{fileSystem};
    InlineLongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};

    static inline const std::wstring kDataIni = L"C:\\Korvane\\data.ini";

    void AddSettingsFile(const std::wstring& text, bool hidden = false, bool system = false,
                         const std::wstring& path = kDataIni)
    {
        fileSystem.AddFile(path, codec.Encode(text), hidden, system);
    }
    std::wstring FileText(const std::wstring& path = kDataIni) const
    {
        const auto* entry = fileSystem.Find(path);
        return entry == nullptr ? std::wstring(L"<no file>") : codec.Decode(entry->bytes);
    }
};

}  // namespace korvane::testing
