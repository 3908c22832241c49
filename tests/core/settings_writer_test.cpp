#include "core/settings/settings_writer.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/failure.h"
#include "core/settings/file_text.h"
#include "core/settings/settings_file_messages.h"
#include "core/settings/settings_loader.h"
#include "settings_test_services.h"
#include "support/settings_content_generator.h"

namespace korvane {
namespace {

using testing::SettingsTestServices;

SettingsStore TwoDestinations()
{
    SettingsStore content;
    content.sources[0] = {L"カメラ", L"E:\\DCIM", true};
    content.sources[1] = {L"not written", L"C:\\x", false};
    content.sources[2] = {L"", L"", true};
    content.destinations = {{L"写真", L"D:\\写真\\"}, {L"仕事", L"D:\\仕事"}};
    content.password = L"pw";
    return content;
}

const wchar_t kTwoDestinationsText[] =
    L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=|\r\n"
    L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=仕事|D:\\仕事\r\n"
    L"[Password]\r\nPassword=pw\r\n";

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// The text of a fresh file holding `content`, for contents without quotes or blanks around their texts.
std::wstring SettingsFileText(const SettingsStore& content)
{
    std::wstring text = L"[SourceList]\r\n";
    for (std::size_t i = 0; i < content.sources.size(); ++i) {
        const SourceSlot& slot = content.sources[i];
        text += L"Source" + std::to_wstring(i + 1) + L"=" + (slot.registered ? slot.name + L"|" + slot.path : L"") +
                L"\r\n";
    }
    text += L"[DirList]\r\n";
    for (std::size_t i = 0; i < content.destinations.size(); ++i)
        text += L"Dir" + std::to_wstring(i + 1) + L"=" + content.destinations[i].name + L"|" +
                content.destinations[i].path + L"\r\n";
    text += L"[Password]\r\nPassword=" + content.password + L"\r\n";
    if (content.options == Options{}) return text;
    const auto on = [](bool option) { return option ? L"1" : L"0"; };
    return text + L"[Option]\r\nVerify=" + on(content.options.verify) + L"\r\nSkipCopied=" +
           on(content.options.skipCopied) + L"\r\nSelectArrivedCard=" + on(content.options.selectArrivedCard) +
           L"\r\nReadCardOnce=" + on(content.options.readCardOnce) + L"\r\nBackupFolder=" +
           content.options.backupFolder + L"\r\n";
}

const wchar_t kFiveDestinationsFile[] =
    L"[Other]\r\nkept=1\r\n[SourceList]\r\nSource1=old|C:\\old\r\n[DirList]\r\nDir1=1|1\r\nDir2=2|2\r\n"
    L"Dir3=3|3\r\nDir4=4|4\r\nDir5=5|5\r\n[Password]\r\nPassword=old\r\nHint=kept\r\n";

TEST(WriteSettingsFile, WritesAFreshFileInTheFixedOrder)
{
    SettingsTestServices test;
    const SaveResult result = WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.file(), SettingsTestServices::kDataIni);
    EXPECT_EQ(test.FileText(), kTwoDestinationsText);

    SettingsStore noDestinations;
    const std::wstring exported = L"E:\\backup\\設定";
    EXPECT_TRUE(WriteSettingsFile(noDestinations, test.fileSystem, test.codec, exported).ok());
    EXPECT_EQ(test.FileText(exported),
              L"[SourceList]\r\nSource1=\r\nSource2=\r\nSource3=\r\n[Password]\r\nPassword=\r\n");
}

SettingsStore ThreeDestinations()
{
    SettingsStore content;
    content.destinations = {{L"1", L"1"}, {L"2", L"2"}, {L"3", L"3"}};
    return content;
}

// An ordinary settings file keeps every line the program does not read; what it reads is exactly what was saved.
TEST(WriteSettingsFile, AnOrdinaryFileKeepsTheLinesTheProgramDoesNotRead)
{
    const struct {
        const char* what;
        std::wstring existing;
        std::function<void(SettingsStore&)> edit;  // applied to TwoDestinations()
        std::wstring expected;
        SaveKind kind = SaveKind::SettingsFile;
    } cases[] = {
        {"a file the program wrote becomes the file it writes afresh",
         SettingsFileText(ThreeDestinations()), [](SettingsStore&) {},
         kTwoDestinationsText},
        {"other sections and keys stay; destinations past the list go", kFiveDestinationsFile, [](SettingsStore&) {},
         L"[Other]\r\nkept=1\r\n[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=|\r\n"
         L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=仕事|D:\\仕事\r\n[Password]\r\nPassword=pw\r\nHint=kept\r\n"},
        {"an option of a newer version and a comment stay",
         L"[Option]\r\nVerify=1\r\nLater=1\r\n; a comment\r\n", [](SettingsStore&) {},
         L"[Option]\r\nVerify=0\r\nLater=1\r\nSkipCopied=0\r\nSelectArrivedCard=0\r\nReadCardOnce=0\r\n"
         L"BackupFolder=\r\n; a comment\r\n"
         L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=|\r\n"
         L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=仕事|D:\\仕事\r\n[Password]\r\nPassword=pw\r\n"},
        {"an option the program reads is owned: its repeated line goes and an emptied backup folder is empty",
         L"[Option]\r\nBackupFolder=G:\\控え\\\r\nbackupfolder=H:\\\r\nREADCARDONCE=1\r\n", [](SettingsStore&) {},
         L"[Option]\r\nBackupFolder=\r\nREADCARDONCE=0\r\nVerify=0\r\nSkipCopied=0\r\nSelectArrivedCard=0\r\n"
         L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=|\r\n"
         L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=仕事|D:\\仕事\r\n[Password]\r\nPassword=pw\r\n"},
        {"no destination left: their section goes, its comment and odd keys stay",
         L"[DirList]\r\nDir1=a|a\r\ndir2=b|b\r\n[DirList]\r\nDir3=c|c\r\n; mine\r\nDir0=x\r\nDir01=y\r\n",
         [](SettingsStore& content) { content.destinations.clear(); },
         L"[DirList]\r\n; mine\r\nDir0=x\r\nDir01=y\r\n[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\n"
         L"Source3=|\r\n[Password]\r\nPassword=pw\r\n"},
        {"repeated keys of the program go", L"[password]\r\nPassword=old\r\nPASSWORD=older\r\nhint=kept\r\n",
         [](SettingsStore& content) { content.destinations.clear(); },
         L"[password]\r\nPassword=pw\r\nhint=kept\r\n[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\n"
         L"Source3=|\r\n"},
        {"an export replaces the file it is saved over", kFiveDestinationsFile, [](SettingsStore&) {},
         kTwoDestinationsText, SaveKind::Export},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        test.AddSettingsFile(c.existing);
        SettingsStore content = TwoDestinations();
        c.edit(content);
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec, {}, c.kind).ok());
        EXPECT_EQ(test.FileText(), c.expected);
        SettingsStore loaded;
        LoadSettings(loaded, test.services);
        EXPECT_EQ(loaded.destinations, content.destinations);
        EXPECT_TRUE(test.dialogs.messages.empty());
    }
}

TEST(WriteSettingsFile, UpdatesAHiddenOrSystemFileInPlace)
{
    for (const bool hidden : {true, false}) {
        SettingsTestServices test;
        test.AddSettingsFile(kFiveDestinationsFile, hidden, !hidden);
        EXPECT_TRUE(WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec).ok());
        EXPECT_EQ(test.FileText(),
                  L"[Other]\r\nkept=1\r\n[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=|\r\n"
                  L"[DirList]\r\nDir1=写真|D:\\写真\\\r\nDir2=仕事|D:\\仕事\r\nDir3=3|3\r\nDir4=4|4\r\nDir5=5|5\r\n"
                  L"[Password]\r\nPassword=pw\r\nHint=kept\r\n");
        const auto* file = test.fileSystem.Find(SettingsTestServices::kDataIni);
        EXPECT_EQ(file->hidden, hidden);
        EXPECT_EQ(file->system, !hidden);
    }
}

struct EditCase {
    const char* what;
    std::function<void(SettingsStore&)> edit;  // applied to TwoDestinations()
    SaveResult::Outcome outcome;
    std::size_t number;
    std::wstring message;  // after the headline; empty when saved
};

// Saves the edited content over a file of five destinations; a refused save must leave that file as it was.
void ExpectSaveOutcome(const EditCase& c)
{
    SCOPED_TRACE(c.what);
    SettingsTestServices test;
    test.AddSettingsFile(kFiveDestinationsFile);
    SettingsStore content = TwoDestinations();
    c.edit(content);
    const SaveResult result = WriteSettingsFile(content, test.fileSystem, test.codec);
    EXPECT_EQ(result.outcome(), c.outcome);
    EXPECT_EQ(result.itemNumber(), c.number);
    if (result.ok()) return;
    EXPECT_EQ(test.FileText(), kFiveDestinationsFile);
    EXPECT_EQ(settings_file_messages::SaveFailure(result).text, L"設定ファイル「C:\\Korvane\\data.ini」を保存できませんでした。\r\n" + c.message);
}

TEST(WriteSettingsFile, RefusesASeparatorInANameOrPathAndWritesNothing)
{
    const std::wstring rule = L"「|」は使えません。";
    const EditCase cases[] = {
        {"slot name", [](SettingsStore& c) { c.sources[0].name = L"a|b"; }, SaveResult::Outcome::SeparatorInSlot,
         1, L"コピー元 1 の名前またはフォルダに「|」が含まれています。" + rule},
        {"slot path", [](SettingsStore& c) { c.sources[2].path = L"C:\\|"; }, SaveResult::Outcome::SeparatorInSlot,
         3, L"コピー元 3 の名前またはフォルダに「|」が含まれています。" + rule},
        {"destination label", [](SettingsStore& c) { c.destinations[1].name = L"仕|事"; },
         SaveResult::Outcome::SeparatorInDestination, 2, L"保存先 2「仕|事」の名前またはフォルダに「|」が含まれています。" + rule},
        {"destination path", [](SettingsStore& c) { c.destinations[0].path = L"D:\\|"; },
         SaveResult::Outcome::SeparatorInDestination, 1, L"保存先 1「写真」の名前またはフォルダに「|」が含まれています。" + rule},
        {"unchecked slot", [](SettingsStore& c) { c.sources[1].name = L"a|b"; }, SaveResult::Outcome::Saved, 0,
         L""},
        {"password", [](SettingsStore& c) { c.password = L"p|w"; }, SaveResult::Outcome::Saved, 0, L""},
    };
    for (const EditCase& c : cases) ExpectSaveOutcome(c);
}

TEST(WriteSettingsFile, ReportsAFailedWriteWithTheSystemsReason)
{
    SettingsTestServices test;
    test.AddSettingsFile(kFiveDestinationsFile);
    test.fileSystem.failNextWrite = Failure(75, L"アクセスが拒否されました。");
    const SaveResult result = WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec);
    EXPECT_EQ(result.outcome(), SaveResult::Outcome::FileFailure);
    EXPECT_EQ(result.failureCode(), 75);
    EXPECT_EQ(settings_file_messages::SaveFailure(result).text,
              L"設定ファイル「C:\\Korvane\\data.ini」を保存できませんでした。\r\nアクセスが拒否されました。");
    EXPECT_EQ(test.FileText(), kFiveDestinationsFile);

    test.fileSystem.failNextWrite = Failure(61);
    EXPECT_EQ(settings_file_messages::SaveFailure(WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec)).text,
              L"設定ファイル「C:\\Korvane\\data.ini」を保存できませんでした。\r\n(Err No.61)");

    const SaveResult malformed = WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec, L"C:\\<>\\x.ini");
    EXPECT_EQ(malformed.failureCode(), failure_code::kBadFileName);
}

std::wstring LongJapanesePath()
{
    std::wstring path = L"D:\\";
    while (path.size() < 150) path += L"表示ポソ写真";
    return path;
}

TEST(WriteSettingsFile, EveryExpressibleValueReadsBack)
{
    SettingsStore content;
    content.sources[0] = {L"ソフト表", L"E:\\ソ\\表\\ポ", true};
    content.sources[1] = {L"", L"", true};
    content.sources[2] = {L"", L"", false};
    content.destinations = {{L"ポ", L"D:\\ポ\\"}, {L"[表]", L"\\\\server\\共有\\ソ=1"}, {L"", L""},
                            {L"長い", LongJapanesePath()}, {L"a = b ; c", L"C:\\x y"}};
    content.password = L"パス ワード";

    SettingsTestServices test;
    ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
    const std::string& bytes = test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes;
    EXPECT_NE(bytes.find("\x83\x7C"), std::string::npos);  // ポ: a trail byte that is "|" in ASCII
    SettingsStore store;
    LoadSettings(store, test.services);
    EXPECT_TRUE(test.dialogs.messages.empty());
    EXPECT_EQ(store.sources[0], (SourceSlot{L"ソフト表", L"E:\\ソ\\表\\ポ", true}));
    EXPECT_EQ(store.sources[1], (SourceSlot{L"", L"", true}));
    EXPECT_EQ(store.sources[2], (SourceSlot{L"", L"", false}));
    const std::vector<DirEntry> expected = {{L"ポ", L"D:\\ポ\\"}, {L"[表]", L"\\\\server\\共有\\ソ=1"}, {L"", L""},
                                            {L"長い", LongJapanesePath()}, {L"a = b ; c", L"C:\\x y"}};
    EXPECT_EQ(store.destinations, expected);
    EXPECT_EQ(store.password, L"パス ワード");
}

TEST(WriteSettingsFile, ACharacterTheCodePageLacksLoadsBackAsItWas)
{
    SettingsStore content;
    content.sources[0] = {L"caf\u00E9", L"C:\\\U0001F4F7", true};
    content.password = L"Caf\u00E9";
    SettingsTestServices test;
    ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
    SettingsStore store;
    LoadSettings(store, test.services);
    EXPECT_EQ(store.sources[0], (SourceSlot{L"caf\u00E9", L"C:\\\U0001F4F7", true}));
    EXPECT_EQ(store.password, L"Caf\u00E9");
}

std::vector<DirEntry> NumberedDestinations(std::size_t count)
{
    std::vector<DirEntry> items;
    for (std::size_t n = 1; n <= count; ++n) items.push_back({std::to_wstring(n), L"D:\\" + std::to_wstring(n)});
    return items;
}

// What the next load would read differently, or not at all, is refused; the file stays as it was.
TEST(WriteSettingsFile, RefusesLineBreaksNulsAndTooManyDestinations)
{
    using Outcome = SaveResult::Outcome;
    const std::wstring nul(1, L'\0');
    const std::wstring lineBreakRule = L"に改行または NUL 文字が含まれています。改行と NUL 文字は使えません。";
    const EditCase cases[] = {
        {"CR in a slot name", [](SettingsStore& c) { c.sources[0].name = L"カ\rメラ"; }, Outcome::LineBreakInSlot, 1,
         L"コピー元 1 の名前またはフォルダ" + lineBreakRule},
        {"LF in a slot path", [](SettingsStore& c) { c.sources[2].path = L"E:\\\n"; }, Outcome::LineBreakInSlot, 3,
         L"コピー元 3 の名前またはフォルダ" + lineBreakRule},
        {"NUL in a slot name", [&](SettingsStore& c) { c.sources[0].name = L"a" + nul + L"b"; },
         Outcome::LineBreakInSlot, 1, L"コピー元 1 の名前またはフォルダ" + lineBreakRule},
        {"a pasted line break in a destination name",
         [](SettingsStore& c) { c.destinations[0].name = L"x\r\nDir2=evil"; },
         Outcome::LineBreakInDestination, 1,
         L"保存先 1「x  Dir2=evil」の名前またはフォルダ" + lineBreakRule},
        {"NUL in a destination folder", [&](SettingsStore& c) { c.destinations[1].path = L"D:\\" + nul; },
         Outcome::LineBreakInDestination, 2, L"保存先 2「仕事」の名前またはフォルダ" + lineBreakRule},
        {"CR LF in the password", [](SettingsStore& c) { c.password = L"pass\r\nword"; },
         Outcome::LineBreakInPassword, 0, L"パスワード" + lineBreakRule},
        {"NUL in the password", [&](SettingsStore& c) { c.password = nul; }, Outcome::LineBreakInPassword, 0,
         L"パスワード" + lineBreakRule},
        {"a separator before a line break", [](SettingsStore& c) { c.sources[0] = {L"a|b", L"\n", true}; },
         Outcome::SeparatorInSlot, 1, L"コピー元 1 の名前またはフォルダに「|」が含まれています。「|」は使えません。"},
        {"32,768 destinations", [](SettingsStore& c) { c.destinations = NumberedDestinations(32768); },
         Outcome::TooManyDestinations, 32768, L"保存先が 32768 件あります。保存先は 32767 件までです。"},
        {"a line break in an unchecked slot", [](SettingsStore& c) { c.sources[1].name = L"\r\n"; },
         Outcome::Saved, 0, L""},
        {"32,767 destinations", [](SettingsStore& c) { c.destinations = NumberedDestinations(32767); },
         Outcome::Saved, 0, L""},
    };
    for (const EditCase& c : cases) ExpectSaveOutcome(c);
}

// The reader drops blanks around a value and one pair of enclosing quotes; such a value gets one more pair.
TEST(WriteSettingsFile, QuotesAValueThatWouldNotReadBackAsTyped)
{
    const struct {
        std::wstring password;
        std::wstring line;
    } cases[] = {
        {L"  pass word  ", L"Password=\"  pass word  \""},
        {L"\"quoted\"", L"Password=\"\"quoted\"\""},
        {L"'x'", L"Password=\"'x'\""},
        {L"\"\"", L"Password=\"\"\"\""},
        {L"''", L"Password=\"''\""},
        {L"\tx", L"Password=\"\tx\""},
        {L"x\x1A", L"Password=\"x\x1A\""},
        {L" ", L"Password=\" \""},
        {L"\"x'", L"Password=\"x'"},
        {L"\"", L"Password=\""},
        {L"'", L"Password='"},
        {L"a \"b\" c", L"Password=a \"b\" c"},
        {L"\u3000x\u3000", L"Password=\u3000x\u3000"},  // a full-width space is no blank to the reader
        {L"", L"Password="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.password));
        SettingsStore content;
        content.password = c.password;
        SettingsTestServices test;
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
        EXPECT_NE(test.FileText().find(L"\r\n" + c.line + L"\r\n"), std::wstring::npos) << test.FileText();
        SettingsStore store;
        LoadSettings(store, test.services);
        EXPECT_EQ(store.password, c.password);
    }
}

TEST(WriteSettingsFile, EveryTextReadsBackExactlyAsTyped)
{
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        testing::SettingsContentGenerator generator(seed, seed % 3 != 0);
        const SettingsStore content = generator.Content();
        SettingsTestServices test;
        const bool inPlace = seed % 2 == 0;
        if (inPlace) test.AddSettingsFile(kFiveDestinationsFile, true);
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
        const std::string written = test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes;
        EXPECT_EQ(written.starts_with(kUtf16LeMark), generator.wroteForeign());
        if (inPlace) test.fileSystem.AddFile(SettingsTestServices::kDataIni, written);  // the load reads only an ordinary file
        SettingsStore store;
        LoadSettings(store, test.services);
        ASSERT_TRUE(test.dialogs.messages.empty());
        for (std::size_t i = 0; i < content.sources.size(); ++i) {
            const SourceSlot& slot = content.sources[i];
            const SourceSlot expected = slot.registered ? SourceSlot{slot.name, slot.path, true} : SourceSlot{};
            EXPECT_EQ(store.sources[i], expected);
        }
        // An in-place update keeps the old Dir entries after the new ones, which the load reads as well.
        ASSERT_GE(store.destinations.size(), content.destinations.size());
        for (std::size_t i = 0; i < content.destinations.size(); ++i) {
            EXPECT_EQ(store.destinations[i], (DirEntry{content.destinations[i].name, content.destinations[i].path}));
        }
        EXPECT_EQ(store.password, content.password);
    }
}

// Each text the code page lacks turns the whole file into UTF-16; the next save whose texts fit turns it back.
TEST(WriteSettingsFile, ATextTheCodePageLacksMakesTheFileUtf16UntilTheTextsFitAgain)
{
    struct Case {
        const char* what;
        std::function<void(SettingsStore&)> edit;
    };
    const Case cases[] = {
        {"a destination's name", [](auto& c) { c.destinations[0].name = L"Café"; }},
        {"a destination's folder", [](auto& c) { c.destinations[1].path = L"D:\\사진\\2026"; }},
        {"a slot's name", [](auto& c) { c.sources[0].name = L"\U00020BB7野家"; }},
        {"a slot's folder", [](auto& c) { c.sources[2].path = L"F:\\Pokémon"; }},
        {"the password", [](auto& c) { c.password = L"Café"; }},
        {"a best-fit character", [](auto& c) { c.password = L"¥100"; }},
        {"the backup folder", [](auto& c) { c.options.backupFolder = L"F:\\Sauvegarde\\Café\\"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        SettingsStore content = TwoDestinations();
        c.edit(content);
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
        const std::string& bytes = test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes;
        ASSERT_TRUE(bytes.starts_with(kUtf16LeMark));
        EXPECT_EQ(DecodeFileText(bytes, test.codec), SettingsFileText(content));

        // A file that has the options section keeps it, every option off.
        const std::wstring optionsOff =
            content.options == Options{}
                ? L""
                : L"[Option]\r\nVerify=0\r\nSkipCopied=0\r\nSelectArrivedCard=0\r\nReadCardOnce=0\r\nBackupFolder=\r\n";
        ASSERT_TRUE(WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec).ok());
        EXPECT_EQ(test.FileText(), kTwoDestinationsText + optionsOff);
    }
}

// The options section appears once an option is on (or the file to update has it) and reads back as saved.
TEST(WriteSettingsFile, WritesTheOptionsOnceOneIsOnAndReadsThemBack)
{
    struct Case {
        const char* what;
        Options options;
        std::wstring existing;  // a hidden file to update; none when empty
        std::wstring expectedSection;
    };
    const Case cases[] = {
        {"all off: no section, as before", {}, L"", L""},
        {"verify on", {.verify = true}, L"", L"[Option]\r\nVerify=1\r\nSkipCopied=0\r\n"},
        {"skip copied on", {.skipCopied = true}, L"", L"[Option]\r\nVerify=0\r\nSkipCopied=1\r\n"},
        {"both on", {true, true}, L"", L"[Option]\r\nVerify=1\r\nSkipCopied=1\r\n"},
        {"card arrival on", {.selectArrivedCard = true}, L"",
         L"[Option]\r\nVerify=0\r\nSkipCopied=0\r\nSelectArrivedCard=1\r\nReadCardOnce=0\r\n"},
        {"reading the card once", {.readCardOnce = true}, L"",
         L"[Option]\r\nVerify=0\r\nSkipCopied=0\r\nSelectArrivedCard=0\r\nReadCardOnce=1\r\n"},
        {"turned off in a hidden file that has them", {}, L"[Option]\r\nVerify=1\r\n",
         L"[Option]\r\nVerify=0\r\nSkipCopied=0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        if (!c.existing.empty()) test.AddSettingsFile(c.existing, true);
        SettingsStore content = TwoDestinations();
        content.options = c.options;
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
        const std::wstring text = test.FileText();
        const std::size_t section = text.find(L"[Option]");
        EXPECT_EQ(section == std::wstring::npos ? L"" : text.substr(section, c.expectedSection.size()),
                  c.expectedSection);
        test.fileSystem.AddFile(SettingsTestServices::kDataIni, test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes);
        SettingsStore store;
        store.options = {true, true, true};
        LoadSettings(store, test.services);
        EXPECT_EQ(store.options, c.options);
    }
}

// The backup folder is saved ending in one "\", as typed otherwise, and reads back as saved; none stays empty.
TEST(WriteSettingsFile, SavesTheBackupFolderWithItsLastBackslash)
{
    struct Case {
        const char* what;
        std::wstring typed;
        std::wstring line;  // in the file
        std::wstring read;  // by the next load
    };
    const Case cases[] = {
        {"without its backslash", L"F:\\Backup", L"BackupFolder=F:\\Backup\\\r\n", L"F:\\Backup\\"},
        {"with it", L"F:\\写真\\", L"BackupFolder=F:\\写真\\\r\n", L"F:\\写真\\"},
        {"a drive's root", L"F:\\", L"BackupFolder=F:\\\r\n", L"F:\\"},
        {"a share", L"\\\\nas\\photos", L"BackupFolder=\\\\nas\\photos\\\r\n", L"\\\\nas\\photos\\"},
        {"blanks around it, kept in quotes", L" F:\\a ", L"BackupFolder=\" F:\\a \\\"\r\n", L" F:\\a \\"},
        {"none, once another option is on", L"", L"ReadCardOnce=1\r\nBackupFolder=\r\n", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsTestServices test;
        SettingsStore content = TwoDestinations();
        content.options = {.readCardOnce = true, .backupFolder = c.typed};
        ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
        EXPECT_TRUE(test.FileText().ends_with(c.line)) << test.FileText().substr(test.FileText().find(L"[Option]"));
        SettingsStore store;
        store.options.backupFolder = L"G:\\other";
        LoadSettings(store, test.services);
        EXPECT_EQ(store.options.backupFolder, c.read);
    }
}

TEST(WriteSettingsFile, UpdatesAHiddenFileWithAByteOrderMarkInTheAnsiCodePage)
{
    SettingsTestServices test;
    test.fileSystem.AddFile(SettingsTestServices::kDataIni,
                            "\xEF\xBB\xBF[Other]\r\nkept=\xE8\xA1\xA8\r\n[Password]\r\nPassword=old\r\n", true);
    SettingsStore content;
    content.password = L"ソ";
    ASSERT_TRUE(WriteSettingsFile(content, test.fileSystem, test.codec).ok());
    EXPECT_EQ(test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes,
              "[Other]\r\nkept=\x95\x5C\r\n[Password]\r\nPassword=\x83\x5C\r\n"
              "[SourceList]\r\nSource1=\r\nSource2=\r\nSource3=\r\n");
}

TEST(WriteSettingsFile, RefusesToUpdateAHiddenFileLargerThanTheReadLimit)
{
    SettingsTestServices test;
    test.fileSystem.AddFile(SettingsTestServices::kDataIni, std::string(FileSystem::kReadLimit + 1, ';'), true);
    const SaveResult result = WriteSettingsFile(TwoDestinations(), test.fileSystem, test.codec);
    EXPECT_EQ(result.outcome(), SaveResult::Outcome::ExistingFileTooLarge);
    EXPECT_EQ(settings_file_messages::SaveFailure(result).text, L"設定ファイル「C:\\Korvane\\data.ini」を保存できませんでした。\r\n"
                                     L"今の設定ファイルが大きすぎます（設定ファイルは 64 MB までです）。");
    EXPECT_EQ(test.fileSystem.Find(SettingsTestServices::kDataIni)->bytes.size(), FileSystem::kReadLimit + 1);
}

}  // namespace
}  // namespace korvane
