#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>

#include "platform/failure.h"
#include "platform/win32/win32_text_codec.h"
#include "second_names.h"
#include "support/file_tree.h"

namespace korvane {
namespace {

using testing::filetree::TempFolder;

constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;

int FailureCodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Failure& failure) {
        return failure.code();
    }
    return 0;
}

// A folder of a few hundred characters, built through the extended-length prefix.
std::wstring MakeLongFolder(const TempFolder& temp)
{
    std::wstring folder = temp.path();
    while (folder.size() < 400) {
        folder += L"\\表示ポソ長いフォルダ名前0123456789";
        CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    return folder;
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::filetree::WriteBytes(temp / L"Plain.INI", "plain");
        testing::filetree::WriteBytes(temp / L"hidden.ini", "hidden", kHidden);
        testing::filetree::WriteBytes(temp / L"system.ini", "system", kSystem);
        testing::filetree::WriteBytes(temp / L"表ポソ.ini", "japanese");
        for (const auto& [name, attributes] : {std::pair{L"Folder", 0ul}, {L"HiddenFolder", kHidden},
                                              {L"SystemFolder", kSystem}, {L"表ポソ", 0ul}}) {
            CreateDirectoryW((temp / name).c_str(), nullptr);
            if (attributes != 0) SetFileAttributesW((temp / name).c_str(), attributes);
        }
    }

    TempFolder temp;
    Win32FileSystem fileSystem;
};

TEST_F(Win32FileSystemTest, LookupFindsOnlyVisibleEntriesOfTheAskedKind)
{
    using enum LookupKind;
    const struct {
        std::wstring path;
        LookupKind kind;
        std::optional<std::wstring> expected;
    } cases[] = {
        {temp / L"plain.ini", FilesOnly, L"Plain.INI"},
        {temp / L"Plain.INI", FilesAndFolders, L"Plain.INI"},
        {temp / L"表ポソ.ini", FilesOnly, L"表ポソ.ini"},
        {temp / L"hidden.ini", FilesAndFolders, std::nullopt},
        {temp / L"system.ini", FilesAndFolders, std::nullopt},
        {temp / L"missing.ini", FilesAndFolders, std::nullopt},
        {temp / L"missing\\x.ini", FilesAndFolders, std::nullopt},
        {temp / L"Plain.INI\\", FilesAndFolders, std::nullopt},
        {temp / L"folder", FilesOnly, std::nullopt},
        {temp / L"folder", FilesAndFolders, L"Folder"},
        {temp / L"Folder\\", FilesAndFolders, L"Folder"},
        {temp / L"Folder\\", FilesOnly, std::nullopt},
        {temp / L"表ポソ\\", FilesAndFolders, L"表ポソ"},
        // Named with the trailing backslash a folder is found whatever its attributes; without it, not.
        {temp / L"HiddenFolder\\", FilesAndFolders, L"HiddenFolder"},
        {temp / L"SystemFolder\\", FilesAndFolders, L"SystemFolder"},
        {temp / L"HiddenFolder\\", FilesOnly, std::nullopt},
        {temp / L"HiddenFolder", FilesAndFolders, std::nullopt},
        {temp / L"SystemFolder", FilesAndFolders, std::nullopt},
        {temp / L"hidden.ini\\", FilesAndFolders, std::nullopt},
        {L"C:\\", FilesAndFolders, L"C:\\"},
        {L"C:\\", FilesOnly, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileSystem.Lookup(c.path, c.kind), c.expected) << ::testing::PrintToString(c.path);
    }
}

TEST_F(Win32FileSystemTest, LookupRejectsMalformedPathsWithCode52)
{
    for (const std::wstring& path : {temp / L"*.ini", temp / L"Plain.IN?", temp / L"a<b", temp / L"a>b",
                                    temp / L"a\"b", temp / L"a|b\\", std::wstring(L"C:\\a:b:c")}) {
        EXPECT_EQ(FailureCodeOf([&] { fileSystem.Lookup(path, LookupKind::FilesAndFolders); }),
                  failure_code::kBadFileName)
            << ::testing::PrintToString(path);
    }
}

TEST_F(Win32FileSystemTest, ListsEverySubfolderButNoFiles)
{
    for (const std::wstring& folder : {temp.path(), temp.path() + L"\\"}) {
        auto names = fileSystem.ListSubfolders(folder);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::wstring>{L"Folder", L"HiddenFolder", L"SystemFolder", L"表ポソ"}));
    }
    EXPECT_TRUE(fileSystem.ListSubfolders(temp / L"Folder").empty());
}

TEST_F(Win32FileSystemTest, ListingAFolderThatIsNotThereIsPathNotFound)
{
    for (const std::wstring& folder : {temp / L"missing", temp / L"missing\\deeper", temp / L"Plain.INI",
                                      temp / L"a*b", std::wstring(L"Q:\\nowhere")}) {
        try {
            fileSystem.ListSubfolders(folder);
            ADD_FAILURE() << "listed " << ::testing::PrintToString(folder);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), failure_code::kPathNotFound) << ::testing::PrintToString(folder);
        }
    }
}

// The tree below a folder: every entry at every depth, hidden and system ones and paths past 260 characters
// included, each folder before its contents, with the sizes and times the system keeps.
TEST_F(Win32FileSystemTest, ListsTheWholeTreeWithSizesAndTimes)
{
    const std::wstring longFolder = MakeLongFolder(temp);
    const std::wstring deepFile = longFolder + L"\\奥.jpg";
    const UniqueFileHandle file(CreateFileW((L"\\\\?\\" + deepFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid());
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), "12345", 5, &written, nullptr));
    FILETIME time{0x12345678, 0x01DB0000};
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time));

    for (const std::wstring& folder : {temp.path(), temp.path() + L"\\"}) {
        const TreeListing listing = fileSystem.ListTree(folder, {});
        EXPECT_TRUE(listing.unreadableFolders.empty());
        std::vector<std::wstring> paths;
        for (const TreeEntry& entry : listing.entries) {
            paths.push_back(entry.isFolder ? entry.relativePath + L"\\" : entry.relativePath);
            if (!entry.isFolder) continue;
            const auto contents = std::find_if(listing.entries.begin(), listing.entries.end(), [&](const auto& e) {
                return e.relativePath.starts_with(entry.relativePath + L"\\");
            });
            EXPECT_GT(contents - listing.entries.begin(), &entry - listing.entries.data()) << "folder after contents";
        }
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, testing::filetree::SortedTree(temp.path()));
        const auto deep = std::find_if(listing.entries.begin(), listing.entries.end(), [&](const auto& e) {
            return temp.path() + L"\\" + e.relativePath == deepFile;
        });
        ASSERT_NE(deep, listing.entries.end());
        EXPECT_EQ(deep->size, 5u);
        EXPECT_EQ(deep->lastWriteTime, 0x01DB000012345678);
    }
    EXPECT_EQ(FailureCodeOf([&] { fileSystem.ListTree(temp / L"missing", {}); }), failure_code::kPathNotFound);
}

// Two links to "." make a loop that a listing entering links would never leave; a link elsewhere is listed as a
// folder and not entered either.
TEST_F(Win32FileSystemTest, ListsFolderLinksWithoutEnteringThem)
{
    const std::wstring earlier = temp / L"2024_0601";
    testing::filetree::MakeFolder(earlier);
    testing::filetree::MakeFolder(earlier + L"\\100CANON");
    testing::filetree::WriteBytes(earlier + L"\\100CANON\\IMG_0001.JPG", "x");
    testing::filetree::WriteBytes(temp / L"Folder\\elsewhere.jpg", "y");
    const testing::FolderLink loop1(earlier + L"\\loop1", earlier);
    const testing::FolderLink loop2(earlier + L"\\loop2", earlier);
    const testing::FolderLink elsewhere(earlier + L"\\other", temp / L"Folder");

    // A listing that entered them would not end: it is stopped after a while and then fails below.
    std::stop_source stop;
    const testing::StopLater watchdog(stop);
    const TreeListing listing = fileSystem.ListTree(earlier, stop.get_token());
    std::vector<std::wstring> paths;
    for (const TreeEntry& entry : listing.entries) paths.push_back(entry.relativePath + (entry.isFolder ? L"\\" : L""));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"100CANON\\", L"100CANON\\IMG_0001.JPG", L"loop1\\", L"loop2\\",
                                                L"other\\"}));
    EXPECT_TRUE(listing.unreadableFolders.empty());
}

TEST_F(Win32FileSystemTest, AListingAskedToStopListsNoFurther)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(fileSystem.ListTree(temp.path(), stop.get_token()).entries.empty());
}

// The identity of a folder is the same through a drive letter mapped to its parent, through a link and with a
// trailing backslash; other folders have others.
TEST_F(Win32FileSystemTest, AFolderHasOneIdentityWhateverNameReachesIt)
{
    const std::wstring parent = temp / L"カード";
    const std::wstring card = parent + L"\\DCIM";
    testing::filetree::MakeFolder(parent);
    testing::filetree::MakeFolder(card);
    const testing::MappedDrive drive(testing::MappedDrive::FreeLetter(), parent);
    const testing::FolderLink link(temp / L"link", card);
    const auto identity = fileSystem.IdentityOf(card);
    ASSERT_TRUE(identity.has_value());

    const struct {
        std::wstring path;
        bool same;
    } cases[] = {
        {card + L"\\", true},         {drive.root() + L"DCIM", true}, {drive.root() + L"dcim\\", true},
        {temp / L"link", true},       {parent, false},               {drive.root(), false},
        {temp / L"Folder", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path));
        const auto other = fileSystem.IdentityOf(c.path);
        ASSERT_TRUE(other.has_value());
        EXPECT_EQ(*other == *identity, c.same);
    }
    EXPECT_FALSE(fileSystem.IdentityOf(temp / L"missing").has_value());
}

TEST_F(Win32FileSystemTest, ReadsFilesHiddenOrNot)
{
    EXPECT_EQ(fileSystem.ReadFile(temp / L"plain.ini"), "plain");
    EXPECT_EQ(fileSystem.ReadFile(temp / L"hidden.ini"), "hidden");
    EXPECT_EQ(fileSystem.ReadFile(temp / L"system.ini"), "system");
    EXPECT_EQ(fileSystem.ReadFile(temp / L"missing.ini"), std::nullopt);
    EXPECT_EQ(fileSystem.ReadFile(temp / L"missing\\x.ini"), std::nullopt);
    EXPECT_EQ(fileSystem.ReadFile(temp / L"Folder"), std::nullopt);
}

std::vector<std::wstring> FileNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    const UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find.valid()) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Win32FileSystemTest, WritesAndReplacesKeepingHiddenAndSystemAttributes)
{
    const std::wstring fresh = temp / L"新しい.ini";
    fileSystem.WriteFileAtomically(fresh, "one");
    EXPECT_EQ(fileSystem.ReadFile(fresh), "one");
    fileSystem.WriteFileAtomically(fresh, std::string(100000, 'x'));
    EXPECT_EQ(fileSystem.ReadFile(fresh)->size(), 100000u);

    for (const DWORD attributes : {kHidden, kSystem, kHidden | kSystem}) {
        const std::wstring file = temp / L"hidden.ini";
        SetFileAttributesW(file.c_str(), attributes);
        fileSystem.WriteFileAtomically(file, "replaced");
        EXPECT_EQ(fileSystem.ReadFile(file), "replaced");
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & (kHidden | kSystem), attributes);
    }
    const auto expectedNames = std::vector<std::wstring>{L"Plain.INI", L"hidden.ini", L"system.ini", L"新しい.ini",
                                                          L"表ポソ.ini"};
    auto names = FileNames(temp.path());
    EXPECT_EQ(names, expectedNames);  // no temporary file left behind
}

TEST_F(Win32FileSystemTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
    const std::wstring file = temp / L"plain.ini";
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        fileSystem.WriteFileAtomically(file, "lost");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), 75);
        EXPECT_FALSE(failure.reason().empty());
    }
    EXPECT_EQ(fileSystem.ReadFile(file), "plain");

    EXPECT_EQ(FailureCodeOf([&] { fileSystem.WriteFileAtomically(temp / L"missing\\x.ini", "x"); }), 76);
    EXPECT_EQ(FailureCodeOf([&] { fileSystem.WriteFileAtomically(temp / L"Folder", "x"); }), 75);
    EXPECT_EQ(FileNames(temp.path()).size(), 4u);
}

// A file of `size` bytes made without writing them (the file system fills it with zeros).
void MakeFileOfSize(const std::wstring& path, std::uint64_t size)
{
    const UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid());
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
}

TEST_F(Win32FileSystemTest, ReadsNoFileLargerThanTheReadLimit)
{
    const std::wstring file = temp / L"large.ini";
    MakeFileOfSize(file, FileSystem::kReadLimit);
    EXPECT_EQ(fileSystem.ReadFile(file)->size(), FileSystem::kReadLimit);
    for (const std::uint64_t size : {FileSystem::kReadLimit + 1, std::uint64_t{3} << 30}) {
        MakeFileOfSize(file, size);
        try {
            fileSystem.ReadFile(file);
            ADD_FAILURE() << "read a file of " << size << " bytes";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), failure_code::kFileTooLarge) << size;
        }
    }
}

// A write killed between creating its temporary file and moving it leaves "<file>.<pid>-<n>.tmp" beside the file.
TEST_F(Win32FileSystemTest, AWriteRemovesTheTemporaryFilesThatKilledWritesOfTheSameFileLeft)
{
    const std::wstring target = temp / L"data.ini";
    const struct {
        const wchar_t* name;
        bool removed;
        DWORD attributes;
    } files[] = {
        {L"data.ini.1234-1.tmp", true, 0},
        {L"data.ini.99-12345.tmp", true, kHidden | kSystem},
        {L"DATA.INI.7-3.TMP", true, 0},
        {L"data.ini.tmp", false, 0},
        {L"data.ini.12-.tmp", false, 0},
        {L"data.ini.-3.tmp", false, 0},
        {L"data.ini.1a-2.tmp", false, 0},
        {L"data.ini.1-2-3.tmp", false, 0},
        {L"data.ini.1-2.tmp.bak", false, 0},
        {L"data.ini.bak.1-2.tmp", false, 0},
        {L"old-data.ini.1-2.tmp", false, 0},
        {L"other.ini.1-2.tmp", false, 0},
        {L"data.ini.5-6.tmp", false, FILE_ATTRIBUTE_READONLY},  // not one of ours: never read-only
    };
    for (const auto& f : files) testing::filetree::WriteBytes(temp / f.name, "stray", f.attributes);
    fileSystem.WriteFileAtomically(target, "saved");
    EXPECT_EQ(fileSystem.ReadFile(target), "saved");
    for (const auto& f : files) {
        EXPECT_EQ(GetFileAttributesW((temp / f.name).c_str()) == INVALID_FILE_ATTRIBUTES, f.removed)
            << ::testing::PrintToString(std::wstring(f.name));
    }
    SetFileAttributesW((temp / L"data.ini.5-6.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileSystemTest, HandlesPathsLongerThanMaxPath)
{
    const std::wstring folder = MakeLongFolder(temp);
    ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));
    const std::wstring file = folder + L"\\data.ini";
    fileSystem.WriteFileAtomically(file, "long");
    EXPECT_EQ(fileSystem.Lookup(file, LookupKind::FilesOnly), L"data.ini");
    EXPECT_EQ(fileSystem.ReadFile(file), "long");
    EXPECT_EQ(fileSystem.Lookup(folder + L"\\", LookupKind::FilesAndFolders).has_value(), true);
    EXPECT_TRUE(fileSystem.ListSubfolders(folder).empty());
}

// The copy run's new folder: made, or kept when a folder is there (the copy merges into it).
TEST_F(Win32FileSystemTest, CreatesAFolderOrKeepsTheOneThereAndOtherwiseSaysWhy)
{
    testing::filetree::WriteBytes(temp / L"Folder\\kept.jpg", "kept");
    const struct {
        const char* name;
        std::wstring path;
        int failure;  // 0: the folder is there afterwards
    } cases[] = {
        {"a new folder", temp / L"2027_0302", 0},
        {"a Japanese name", temp / L"旅行ポソ", 0},
        {"a folder already there", temp / L"Folder", 0},
        {"a hidden folder already there", temp / L"HiddenFolder", 0},
        {"a file of that name", temp / L"Plain.INI", 58},
        {"a parent that is not there", temp / L"gone\\2027_0302", failure_code::kPathNotFound},
        {"a name the file system refuses", temp / L"旅行?", failure_code::kBadFileName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring reason;
        try {
            fileSystem.CreateFolder(c.path);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), c.failure);
            reason = failure.reason();
        }
        const DWORD attributes = GetFileAttributesW(c.path.c_str());
        EXPECT_EQ(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY), c.failure == 0);
        EXPECT_EQ(reason.empty(), c.failure == 0);
    }
    EXPECT_EQ(testing::filetree::ReadBytes(temp / L"Folder\\kept.jpg"), "kept");
    const std::wstring longFolder = MakeLongFolder(temp) + L"\\2027_0302";
    fileSystem.CreateFolder(longFolder);
    EXPECT_TRUE(fileSystem.Lookup(longFolder + L"\\", LookupKind::FilesAndFolders).has_value());
}

TEST(Win32FileSystem, ExecutableFolderHoldsTheRunningProgram)
{
    Win32FileSystem fileSystem;
    const std::wstring folder = fileSystem.ExecutableFolder();
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_EQ(fileSystem.Lookup(folder + L"\\platform_tests.exe", LookupKind::FilesOnly), L"platform_tests.exe");
}

TEST(Win32TextCodec, ConvertsCodePage932)
{
    EXPECT_EQ(GetACP(), 932u) << "the tests expect a Japanese system (LANG=ja_JP.UTF-8 under Wine)";
    const Win32TextCodec codec(932);
    EXPECT_EQ(codec.Encode(L"ポ表ソ\\|"), "\x83\x7C\x95\x5C\x83\x5C\\|");
    EXPECT_EQ(codec.Decode("\x83\x7C\x95\x5C\x83\x5C\\|"), L"ポ表ソ\\|");
    EXPECT_EQ(codec.Encode(L"caf\u00E9"), "caf?");
    EXPECT_EQ(codec.Encode(L""), "");
}

}  // namespace
}  // namespace korvane
