// The settings file through the real file system and code page 932: what the program writes, in the code page
// or as UTF-16, the platform's profile API reads back exactly; a locked file is named in a message and read as no file.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/common/services.h"
#include "core/settings/settings_loader.h"
#include "core/settings/settings_writer.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "support/scripted_verification.h"
#include "support/settings_content_generator.h"

namespace korvane {
namespace {

// One value as the profile API gives it, with a buffer large enough for any generated value: through
// GetPrivateProfileStringW for a UTF-16 file, through GetPrivateProfileStringA (as older programs read it) for
// one in the ANSI code page.
std::wstring ProfileValue(const Win32TextCodec& codec, const std::wstring& file, const std::wstring& section,
                          const std::wstring& key)
{
    if (testing::filetree::ReadBytes(file).starts_with("\xFF\xFE")) {
        std::wstring buffer(65536, L'\0');
        buffer.resize(GetPrivateProfileStringW(section.c_str(), key.c_str(), nullptr, buffer.data(),
                                               static_cast<DWORD>(buffer.size()), file.c_str()));
        return buffer;
    }
    std::string buffer(65536, '\0');
    const DWORD length =
        GetPrivateProfileStringA(codec.Encode(section).c_str(), codec.Encode(key).c_str(), nullptr, buffer.data(),
                                 static_cast<DWORD>(buffer.size()), codec.Encode(file).c_str());
    buffer.resize(length);
    return codec.Decode(buffer);
}

TEST(SettingsFile, TheProfileApiReadsEveryWrittenValueExactly)
{
    ASSERT_EQ(GetACP(), 932u) << "the generated texts are code page 932 text";
    const Win32TextCodec codec(932);
    Win32FileSystem fileSystem;
    testing::filetree::TempFolder temp;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE(seed);
        // Every second file holds texts that code page 932 lacks, and is written as UTF-16.
        testing::SettingsContentGenerator generator(seed, seed % 2 == 0);
        const SettingsStore content = generator.Content();
        // A new name for every file: the profile API caches files it has read.
        const std::wstring file = temp / (L"written" + std::to_wstring(seed) + L".ini");
        ASSERT_TRUE(WriteSettingsFile(content, fileSystem, codec, file).ok());
        EXPECT_EQ(testing::filetree::ReadBytes(file).starts_with("\xFF\xFE"), generator.wroteForeign());
        for (std::size_t i = 0; i < content.sources.size(); ++i) {
            const SourceSlot& slot = content.sources[i];
            EXPECT_EQ(ProfileValue(codec, file, L"SourceList", L"Source" + std::to_wstring(i + 1)),
                      slot.registered ? slot.name + L"|" + slot.path : L"");
        }
        for (std::size_t i = 0; i < content.destinations.size(); ++i) {
            const DirEntry& item = content.destinations[i];
            EXPECT_EQ(ProfileValue(codec, file, L"DirList", L"Dir" + std::to_wstring(i + 1)),
                      item.name + L"|" + item.path);
        }
        EXPECT_EQ(ProfileValue(codec, file, L"Password", L"Password"), content.password);
    }
}

TEST(SettingsFile, ALockedFileIsNamedWithTheSystemsReasonAndReadAsNoFile)
{
    testing::filetree::TempFolder temp;
    const std::wstring file = temp / L"data.ini";
    testing::filetree::WriteBytes(file, "[SourceList]\r\nSource1=a|C:\\a\r\n[Password]\r\nPassword=pw\r\n");
    const UniqueFileHandle lock(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock.valid());

    Win32FileSystem fileSystem;
    Win32TextCodec codec(932);
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2026, 12, 5}};
    testing::ContentComparer comparer{fileSystem};
    testing::ContentCopier copier{fileSystem};
    testing::InlineLongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};
    SettingsStore store;
    LoadSettings(store, services, file);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::wstring headline = file + L"\r\nの設定ファイルを読み込めませんでした\r\n";
    EXPECT_TRUE(dialogs.messages[0].text.starts_with(headline)) << ::testing::PrintToString(dialogs.messages[0].text);
    EXPECT_GT(dialogs.messages[0].text.size(), headline.size()) << "the system's reason is missing";
    EXPECT_EQ(dialogs.messages[0].title, L"エラー");
    EXPECT_FALSE(store.sources[0].registered);
    EXPECT_TRUE(store.destinations.empty());
    EXPECT_EQ(store.password, L"");
}

}  // namespace
}  // namespace korvane
