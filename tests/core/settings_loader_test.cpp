#include "core/settings/settings_loader.h"
#include "core/settings/settings_path.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "platform/failure.h"
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
        {"names in other letter cases",
         L"[sourcelist]\r\nSOURCE2=a|b\r\n[DIRLIST]\r\ndir1=c|d\r\n[password]\r\npassWORD=p\r\n",
         {kUnregistered, SourceSlot{L"a", L"b", true}, kUnregistered}, Dirs({{L"c", L"d"}}), L"p"},
        {"a gap in the destination numbers", L"[DirList]\r\nDir1=a|A\r\nDir3=c|C\r\n",
         {kUnregistered, kUnregistered, kUnregistered}, Dirs({{L"a", L"A"}}), L""},
        {"an empty destination ends the list", L"[DirList]\r\nDir1=a|A\r\nDir2=\"\"\r\nDir3=c|C\r\n",
         {kUnregistered, kUnregistered, kUnregistered}, Dirs({{L"a", L"A"}}), L""},
        {"separators beyond the second", L"[SourceList]\r\nSource1=a|b|c\r\n[DirList]\r\nDir1=x|y|z\r\n",
         {SourceSlot{L"a", L"b", true}, kUnregistered, kUnregistered}, Dirs({{L"x", L"y"}}), L""},
        {"three separators: the path ends at the second", L"[SourceList]\r\nSource2=a|b|c|d\r\n[DirList]\r\nDir1=x|y|z|w\r\n",
         {kUnregistered, SourceSlot{L"a", L"b", true}, kUnregistered}, Dirs({{L"x", L"y"}}), L""},
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

// A store as a missing file leaves the previously loaded one: only the destinations are gone.
SettingsStore AsAfterAMissingFile()
{
    SettingsStore store = PreviouslyLoadedStore();
    store.destinations.clear();
    return store;
}

void ExpectSameStore(const SettingsStore& actual, const SettingsStore& expected)
{
    EXPECT_EQ(actual.sources, expected.sources);
    EXPECT_EQ(actual.destinations, expected.destinations);
    EXPECT_EQ(actual.password, expected.password);
}

void ExpectErrorBox(const std::vector<MessageBoxSpec>& shown, const std::wstring& text)
{
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(shown[0].title, L"エラー");
}

// A file system whose read of any file fails with what the test throws.
class FailingReadFileSystem : public testing::MemoryFileSystem {
public:
    std::function<void()> failure;
    std::optional<std::string> ReadFile(const std::wstring& path) const override
    {
        failure();
        return MemoryFileSystem::ReadFile(path);
    }
};

// A file that is there but cannot be read, or is far too large, is named in a message and read as no file: at
// start-up no slot registered, no destination, no password; at an import the earlier slots and password stay.
TEST(LoadSettings, AFileThatCannotBeReadIsShownAndReadAsNoFile)
{
    const std::wstring file = SettingsTestServices::kDataIni;
    const struct {
        const char* what;
        std::function<void()> failure;
        std::wstring message;
    } cases[] = {
        {"locked", [] { throw Failure(70, L"別のプロセスが使用中です。"); },
         file + L"\r\nの設定ファイルを読み込めませんでした\r\n別のプロセスが使用中です。"},
        {"no reason given", [] { throw Failure(57); },
         file + L"\r\nの設定ファイルを読み込めませんでした\r\n(Err No.57)"},
        {"too large", [] { throw Failure(failure_code::kFileTooLarge); },
         file + L"\r\nの設定ファイルは大きすぎるため読み込みませんでした（設定ファイルは 64 MB までです）"},
        {"out of memory", [] { throw std::bad_alloc(); },
         file + L"\r\nの設定ファイルを読み込むためのメモリが足りませんでした"},
        {"a decode that gives up", [] { throw std::length_error("text too long to convert"); },
         file + L"\r\nの設定ファイルを読み込めませんでした"},
        {"anything else", [] { throw 42; }, file + L"\r\nの設定ファイルを読み込めませんでした"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        FailingReadFileSystem files;
        files.failure = c.failure;
        files.AddFile(file, "[SourceList]\r\nSource1=new|C:\\new\r\n[Password]\r\nPassword=new\r\n");
        Services services{files,      test.codec,    test.dialogs, test.shell,
                          test.clock, test.comparer, test.copier,  test.longWork};
        SettingsStore store = PreviouslyLoadedStore();
        ASSERT_NO_THROW(LoadSettings(store, services));
        ExpectErrorBox(test.dialogs.messages, c.message);
        ExpectSameStore(store, AsAfterAMissingFile());

        SettingsStore fresh;
        LoadSettings(fresh, services);
        ExpectSameStore(fresh, SettingsStore{});
    }
}

TEST(LoadSettings, AFailedLookUpIsShownWithTheFileAndReadAsNoFile)
{
    SettingsTestServices test;  // the memory file system rejects a "|" in a path as a malformed name
    const std::wstring file = L"C:\\a|b\\data.ini";
    SettingsStore store = PreviouslyLoadedStore();
    LoadSettings(store, test.services, file);
    ExpectErrorBox(test.dialogs.messages, file + L"\r\nの設定ファイルを確認できませんでした");
    ExpectSameStore(store, AsAfterAMissingFile());
}

// Text editors save with a byte-order mark; the file reads the same in every encoding.
TEST(LoadSettings, DecodesAFileByItsByteOrderMark)
{
    const std::string utf8 =
        "[SourceList]\r\nSource1=\xE3\x82\xAB\xE3\x83\xA1\xE3\x83\xA9|E:\\\xE8\xA1\xA8\r\n"
        "[Password]\r\nPassword=\xE3\x82\xBD\r\n";  // カメラ, 表, ソ
    std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
    for (const wchar_t c : std::wstring(L"[SourceList]\r\nSource1=カメラ|E:\\表\r\n[Password]\r\nPassword=ソ\r\n")) {
        utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16 LE with its mark", utf16le},
        {"UTF-16 BE with its mark", utf16be},
        {"code page 932 without a mark", "[SourceList]\r\nSource1=\x83\x4A\x83\x81\x83\x89|E:\\\x95\x5C\r\n"
                                         "[Password]\r\nPassword=\x83\x5C\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        test.fileSystem.AddFile(SettingsTestServices::kDataIni, c.bytes);
        SettingsStore store;
        LoadSettings(store, test.services);
        EXPECT_TRUE(test.dialogs.messages.empty());
        EXPECT_EQ(store.sources[0], (SourceSlot{L"カメラ", L"E:\\表", true}));
        EXPECT_EQ(store.password, L"ソ");
    }
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
