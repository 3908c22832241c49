#include "core/settings_loader.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "settings_test_services.h"

namespace korvane {

namespace {

using testing::SettingsTestServices;

const SourceSlot kUnregistered{};

std::vector<DirEntry> Dirs(std::initializer_list<DirEntry> entries) { return entries; }

// A store as a previous load may have left it, to see what a load keeps.
SettingsStore PreviouslyLoadedStore()
{
    SettingsStore store;
    store.sources = {SourceSlot{L"旧1", L"C:\\old1", true}, SourceSlot{L"旧2", L"C:\\old2", true},
                     SourceSlot{L"旧3", L"C:\\old3", false}};
    store.destinations = {{L"旧", L"D:\\old"}};
    store.password = L"oldpass";
    return store;
}

struct LoadCase {
    const char* what;
    std::wstring text;
    std::array<SourceSlot, 3> sources;
    std::vector<DirEntry> destinations;
    std::wstring password;
    bool failureShown = false;
};

TEST(LoadSettings, ReadsSlotsDestinationsAndPassword)
{
    const LoadCase cases[] = {
        {"none of the sections", L"[Other]\r\nx=1\r\n", {kUnregistered, kUnregistered, kUnregistered}, {}, L""},
        {"all of it",
         L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=ソ|F:\\表\\ポ\r\n"
         L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=|\r\n[Password]\r\nPassword=秘密|pw\r\n",
         {SourceSlot{L"カメラ", L"E:\\DCIM", true}, kUnregistered, SourceSlot{L"ソ", L"F:\\表\\ポ", true}},
         Dirs({{L"写真", L"D:\\写真\\"}, {L"", L""}}),
         L"秘密|pw"},
        {"names in other letter cases", L"[sourcelist]\r\nSOURCE2=a|b\r\n[DIRLIST]\r\ndir1=c|d\r\n[password]\r\npassWORD=p\r\n",
         {kUnregistered, SourceSlot{L"a", L"b", true}, kUnregistered}, Dirs({{L"c", L"d"}}), L"p"},
        {"a gap in the destination numbers", L"[DirList]\r\nDir1=a|A\r\nDir3=c|C\r\n",
         {kUnregistered, kUnregistered, kUnregistered}, Dirs({{L"a", L"A"}}), L""},
        {"an empty destination ends the list", L"[DirList]\r\nDir1=a|A\r\nDir2=\"\"\r\nDir3=c|C\r\n",
         {kUnregistered, kUnregistered, kUnregistered}, Dirs({{L"a", L"A"}}), L""},
        {"separators beyond the second", L"[SourceList]\r\nSource1=a|b|c\r\n[DirList]\r\nDir1=x|y|z\r\n",
         {SourceSlot{L"a", L"b", true}, kUnregistered, kUnregistered}, Dirs({{L"x", L"y"}}), L""},
        {"a destination without separator", L"[DirList]\r\nDir1=abc\r\n",
         {kUnregistered, kUnregistered, kUnregistered}, Dirs({{L"abc", L"abc"}}), L""},
        {"a checked slot with empty texts", L"[SourceList]\r\nSource1=|\r\n",
         {SourceSlot{L"", L"", true}, kUnregistered, kUnregistered}, {}, L""},
        {"blanks and quotes around values", L"[SourceList]\r\nSource1 =  \" a |b \" \r\n[Password]\r\nPassword='x'\r\n",
         {SourceSlot{L" a ", L"b ", true}, kUnregistered, kUnregistered}, {}, L"x"},
        {"a source without separator",
         L"[SourceList]\r\nSource1=ok|C:\\ok\r\nSource2=abc\r\nSource3=c|C:\\c\r\n[DirList]\r\nDir1=a|A\r\n"
         L"[Password]\r\nPassword=new\r\n",
         {SourceSlot{L"ok", L"C:\\ok", true}, SourceSlot{L"abc", L"", true}, SourceSlot{L"", L"", false}},
         {},
         L"oldpass",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        test.AddSettingsFile(c.text);
        SettingsStore store = PreviouslyLoadedStore();
        LoadSettings(store, test.services);
        EXPECT_EQ(store.sources, c.sources);
        EXPECT_EQ(store.destinations, c.destinations);
        EXPECT_EQ(store.password, c.password);
        EXPECT_EQ(test.dialogs.messages.size(), c.failureShown ? 1u : 0u);
    }
}

TEST(LoadSettings, ShowsTheReadingFailureAsAStopBox)
{
    SettingsTestServices test;
    test.AddSettingsFile(L"[SourceList]\r\nSource1=abc\r\n");
    SettingsStore store;
    LoadSettings(store, test.services);
    ASSERT_EQ(test.dialogs.messages.size(), 1u);
    const MessageBoxSpec& box = test.dialogs.messages[0];
    EXPECT_EQ(box.text, L"設定ファイルの読み込みに失敗しました");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.title, L"エラー");
}

TEST(LoadSettings, AFileThatIsNotThereOnlyEmptiesTheDestinations)
{
    const struct {
        const char* what;
        bool hidden;
        bool system;
        bool folder;
        std::wstring path;
    } cases[] = {
        {"no file", false, false, false, L"C:\\Korvane\\other.ini"},
        {"hidden file", true, false, false, SettingsTestServices::kDataIni},
        {"system file", false, true, false, SettingsTestServices::kDataIni},
        {"a folder of that name", false, false, true, L"C:\\Korvane\\folder.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        test.AddSettingsFile(L"[Password]\r\nPassword=new\r\n", c.hidden, c.system);
        if (c.folder) test.fileSystem.AddFolder(c.path);
        SettingsStore store = PreviouslyLoadedStore();
        LoadSettings(store, test.services, c.path);
        const SettingsStore before = PreviouslyLoadedStore();
        EXPECT_EQ(store.sources, before.sources);
        EXPECT_TRUE(store.destinations.empty());
        EXPECT_EQ(store.password, before.password);
        EXPECT_TRUE(test.dialogs.messages.empty());
    }
}

// A file the look-up or the read fails on is a reading failure, not a missing file.
class UnreadableFileSystem : public testing::MemoryFileSystem {
public:
    std::optional<std::string> ReadFile(const std::wstring&) const override
    {
        throw Failure(70, L"アクセスが拒否されました。");
    }
};

TEST(LoadSettings, AFileThatCannotBeReadIsAReadingFailure)
{
    SettingsTestServices test;
    UnreadableFileSystem unreadable;
    unreadable.AddFile(SettingsTestServices::kDataIni, "[Password]\r\nPassword=new\r\n");
    Services services{unreadable, test.codec, test.dialogs, test.shell, test.clock};
    SettingsStore store = PreviouslyLoadedStore();
    LoadSettings(store, services);
    EXPECT_EQ(test.dialogs.messages.size(), 1u);
    EXPECT_TRUE(store.destinations.empty());
    EXPECT_EQ(store.password, L"oldpass");
    EXPECT_EQ(store.sources[0], (SourceSlot{L"", L"", true}));

    SettingsTestServices malformed;  // the memory file system rejects a "|" in a path as a malformed name
    LoadSettings(store, malformed.services, L"C:\\a|b\\data.ini");
    EXPECT_EQ(malformed.dialogs.messages.size(), 1u);
}

std::wstring ManyDestinations(std::size_t count)
{
    std::wstring text = L"[DirList]\r\n";
    for (std::size_t n = 1; n <= count; ++n) {
        const std::wstring number = std::to_wstring(n);
        text += L"Dir" + number + L"=保存先" + number + L"|D:\\写真\\" + number + L"\r\n";
    }
    return text + L"[Password]\r\nPassword=pw\r\n";
}

TEST(LoadSettings, HoldsAtMost32767Destinations)
{
    SettingsTestServices full;
    full.AddSettingsFile(ManyDestinations(32767));
    SettingsStore store;
    LoadSettings(store, full.services);
    ASSERT_EQ(store.destinations.size(), 32767u);
    EXPECT_EQ(store.destinations.back(), (DirEntry{L"保存先32767", L"D:\\写真\\32767"}));
    EXPECT_EQ(store.password, L"pw");
    EXPECT_TRUE(full.dialogs.messages.empty());

    SettingsTestServices overfull;
    overfull.AddSettingsFile(ManyDestinations(32768));
    SettingsStore overfullStore;
    LoadSettings(overfullStore, overfull.services);
    EXPECT_EQ(overfullStore.destinations.size(), 32767u);
    EXPECT_EQ(overfullStore.password, L"");
    EXPECT_EQ(overfull.dialogs.messages.size(), 1u);
}

TEST(LoadSettings, ReadsALongValueWhole)
{
    std::wstring longPath = L"D:\\";
    while (longPath.size() < 150) longPath += L"表ポソ写真";
    SettingsTestServices test;
    test.AddSettingsFile(L"[DirList]\r\nDir1=長い|" + longPath + L"\r\n");
    SettingsStore store;
    LoadSettings(store, test.services);
    ASSERT_EQ(store.destinations.size(), 1u);
    EXPECT_EQ(store.destinations[0].path, longPath);
}

TEST(DefaultSettingsPath, IsDataIniBesideTheProgram)
{
    SettingsTestServices test;
    test.fileSystem.executableFolder = L"D:\\ツール\\Korvane";
    EXPECT_EQ(DefaultSettingsPath(test.fileSystem), L"D:\\ツール\\Korvane\\data.ini");
}

}  // namespace
}  // namespace korvane
