// Fuzz target for the settings file: any bytes as data.ini must load without an escaping exception and without
// breaking the in-place writer; the same bytes, cut into the texts of a settings window, must either be refused
// for a reason the writer gives or be written so that the next load reads every text back as typed.
// Built with libFuzzer when KORVANE_FUZZ is on; replay_main.cpp runs the kept corpus through it otherwise.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/ini_document.h"
#include "core/settings/ini_update.h"
#include "core/common/services.h"
#include "core/settings/settings_loader.h"
#include "core/settings/settings_writer.h"
#include "support/cp932_codec.h"
#include "support/fixed_clock.h"
#include "support/memory_file_system.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "support/scripted_verification.h"

namespace korvane {
namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "settings file fuzz: %s\n", what);
    std::abort();
}

const std::wstring kDataIni = L"C:\\Korvane\\data.ini";

struct FuzzServices {
    testing::MemoryFileSystem fileSystem;
    testing::IconvCp932Codec codec;
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2026, 1, 1}};
    testing::ContentComparer comparer{fileSystem};
    testing::ContentCopier copier{fileSystem};
    testing::InlineLongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};
};

// The bytes as data.ini: one load shows at most one message, and an in-place update of the text sets what it
// was asked to set.
void ReadAsSettingsFile(std::string_view bytes)
{
    FuzzServices fuzz;
    fuzz.fileSystem.AddFile(kDataIni, std::string(bytes));
    SettingsStore store;
    LoadSettings(store, fuzz.services);
    Require(fuzz.dialogs.messages.size() <= 1, "a load showed more than one message");

    const std::vector<IniAssignment> assignments = {
        {L"DirList", L"Dir1", L"a|b"}, {L"Password", L"Password", L"pw"}, {L"New", L"Key", L" x "}};
    const IniDocument updated(UpdateIniText(fuzz.codec.Decode(bytes), assignments));
    for (const IniAssignment& assignment : assignments) {
        const auto value = updated.RawValue(assignment.section, assignment.key);
        Require(value && *value == TrimIniBlanks(assignment.value), "an in-place update did not set a key");
    }
}

// A text as it comes back through the code page (a character it lacks becomes "?").
std::wstring ThroughCodePage(const TextCodec& codec, const std::wstring& text)
{
    return codec.Decode(codec.Encode(text));
}

bool IsStorable(const std::wstring& text, bool separatorAllowed)
{
    return text.find_first_of(separatorAllowed ? std::wstring(L"\r\n\0", 3) : std::wstring(L"|\r\n\0", 4)) ==
           std::wstring::npos;
}

// Bits 0 to 2 of `flags` check the sources; the text, cut at U+0001, gives the sources' names and paths, the
// password, then destination names and folders in pairs.
SettingsStore ContentFrom(unsigned flags, const std::wstring& text)
{
    std::vector<std::wstring> fields;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find(L'\x01', begin)) != std::wstring::npos; begin = end + 1)
        fields.push_back(text.substr(begin, end - begin));
    fields.push_back(text.substr(begin));
    if (fields.size() < 7) fields.resize(7);  // a last odd field past the password is no destination

    SettingsStore content;
    for (std::size_t i = 0; i < content.sources.size(); ++i)
        content.sources[i] = {fields[2 * i], fields[2 * i + 1], (flags >> i & 1) != 0};
    content.password = fields[6];
    for (std::size_t i = 7; i + 1 < fields.size(); i += 2) content.destinations.push_back({fields[i], fields[i + 1]});
    return content;
}

void RoundTrip(unsigned flags, std::string_view bytes)
{
    FuzzServices fuzz;
    const SettingsStore content = ContentFrom(flags, fuzz.codec.Decode(bytes));
    const bool hidden = (flags & 8) != 0;  // updated in place, every line kept
    const bool ordinary = !hidden && (flags & 16) != 0;  // the lines the program does not read kept
    if (hidden || ordinary) fuzz.fileSystem.AddFile(kDataIni, std::string(bytes), hidden);

    const SaveResult result = WriteSettingsFile(content, fuzz.fileSystem, fuzz.codec);
    bool storable = IsStorable(content.password, true);
    for (const SourceSlot& slot : content.sources)
        storable = storable && (!slot.registered || (IsStorable(slot.name, false) && IsStorable(slot.path, false)));
    for (const DirEntry& item : content.destinations)
        storable = storable && IsStorable(item.name, false) && IsStorable(item.path, false);
    Require(result.ok() == storable, storable ? "a storable content was refused" : "an unstorable content was saved");
    if (!result.ok()) return;

    const std::string written = fuzz.fileSystem.Find(kDataIni)->bytes;
    fuzz.fileSystem.AddFile(kDataIni, written);  // the load reads only an ordinary file
    SettingsStore store;
    LoadSettings(store, fuzz.services);
    Require(fuzz.dialogs.messages.empty(), "the written file did not load");
    const auto& codec = fuzz.codec;
    for (std::size_t i = 0; i < content.sources.size(); ++i) {
        const SourceSlot& slot = content.sources[i];
        const SourceSlot expected = slot.registered ? SourceSlot{ThroughCodePage(codec, slot.name),
                                                              ThroughCodePage(codec, slot.path), true}
                                                 : SourceSlot{};
        Require(store.sources[i] == expected, "a source slot read back differently");
    }
    Require(store.destinations.size() >= content.destinations.size(), "destinations were lost");
    Require(hidden || store.destinations.size() == content.destinations.size(), "destinations were kept");
    for (std::size_t i = 0; i < content.destinations.size(); ++i) {
        const DirEntry& item = content.destinations[i];
        Require(store.destinations[i] == DirEntry{ThroughCodePage(codec, item.name), ThroughCodePage(codec, item.path)},
                "a destination read back differently");
    }
    Require(store.password == ThroughCodePage(codec, content.password), "the password read back differently");
}

}  // namespace
}  // namespace korvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte chooses the checked sources (bits 0 to 2) and whether the round trip updates a data.ini
    // holding the other bytes: a hidden one (bit 3) or an ordinary one (bit 4).
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    korvane::ReadAsSettingsFile(bytes);
    korvane::RoundTrip(data[0], bytes);
    return 0;
}
