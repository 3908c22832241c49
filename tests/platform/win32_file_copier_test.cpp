#include "platform/win32/win32_file_copier.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <type_traits>

#include "core/copy/copy_folder.h"
#include "platform/win32/win32_copy_checker.h"
#include "platform/win32/win32_copy_pipeline.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hand_over.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/xxh3_checksum.h"
#include "support/file_tree.h"
#include "support/question_box_answerer.h"

namespace korvane {
namespace {

using namespace testing::filetree;

constexpr std::size_t kBlock = CopyPipeline::kBlockSize;
// More than every block of the reader: the blocks must come round.
constexpr std::size_t kPastEveryBlock = CopyPipeline::kBlocks * kBlock + 4097;
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

// Every entry below `root` as a line: its path, and for a file its size and last-write time, with the attributes a
// copy keeps; sorted, so that two trees compare whatever their listing order.
std::vector<std::wstring> DescribeTree(const std::wstring& root, const std::wstring& relative = {})
{
    std::vector<std::wstring> lines;
    WIN32_FIND_DATAW data{};
    const std::wstring folder = Extended(relative.empty() ? root : root + L"\\" + relative);
    const UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, 0));
    if (!find.valid()) return lines;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        std::wstring line = path + (isFolder ? L"\\" : L"") + L" attributes " +
                            std::to_wstring(data.dwFileAttributes & kKeptAttributes);
        if (!isFolder) {
            line += L" size " + std::to_wstring((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) +
                    L" written " +
                    std::to_wstring((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                    data.ftLastWriteTime.dwLowDateTime);
        }
        lines.push_back(line);
        if (isFolder) {
            const std::vector<std::wstring> inner = DescribeTree(root, path);
            lines.insert(lines.end(), inner.begin(), inner.end());
        }
    } while (FindNextFileW(find.get(), &data));
    if (relative.empty()) std::sort(lines.begin(), lines.end());
    return lines;
}

// The lines that only one of two sorted descriptions has, each marked with the side that has it.
std::vector<std::wstring> Difference(const std::vector<std::wstring>& ours, const std::vector<std::wstring>& theirs)
{
    std::vector<std::wstring> onlyOurs;
    std::vector<std::wstring> onlyTheirs;
    std::set_difference(ours.begin(), ours.end(), theirs.begin(), theirs.end(), std::back_inserter(onlyOurs));
    std::set_difference(theirs.begin(), theirs.end(), ours.begin(), ours.end(), std::back_inserter(onlyTheirs));
    std::vector<std::wstring> lines;
    for (const std::wstring& line : onlyOurs) lines.push_back(L"ours: " + line);
    for (const std::wstring& line : onlyTheirs) lines.push_back(L"theirs: " + line);
    return lines;
}

// The entries of a copy of everything below `card`: each folder before what it holds.
std::vector<CopyEntry> EntriesBelow(const std::wstring& card, const std::wstring& relative = {})
{
    std::vector<CopyEntry> entries;
    WIN32_FIND_DATAW data{};
    const std::wstring folder = relative.empty() ? card : card + L"\\" + relative;
    const UniqueFindHandle find(FindFirstFileExW((Extended(folder) + L"\\*").c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, 0));
    if (!find.valid()) return entries;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        entries.push_back({card + L"\\" + path, path, isFolder,
                           (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
        if (isFolder) {
            const std::vector<CopyEntry> inner = EntriesBelow(card, path);
            entries.insert(entries.end(), inner.begin(), inner.end());
        }
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

// Records what the copier reports, and stops it where a test says.
class RecordedCopy : public CopyProgress {
public:
    void Copying(std::size_t index) override { reached.push_back(index); }
    void BytesCopied(std::uint64_t count) override
    {
        copied += count;
        if (onCopied) onCopied();
    }
    void BytesChecked(std::uint64_t count) override { checked += count; }
    void EntryCopied(std::size_t index, const CopiedEntry& entry) override
    {
        EXPECT_EQ(index, entries.size());
        entries.push_back(entry);
    }

    std::vector<std::size_t> reached;
    std::uint64_t copied = 0;
    std::uint64_t checked = 0;
    std::vector<CopiedEntry> entries;
    std::function<void()> onCopied;
};

// A card with every kind of entry a camera or a user leaves on it.
class CardTest : public ::testing::Test {
protected:
    // Writes the file, making the folders on its way; with `attributes` (FILE_ATTRIBUTE_*) when not 0.
    void Write(const std::wstring& relative, std::size_t size, DWORD attributes = 0)
    {
        const std::wstring path = card + L"\\" + relative;
        for (std::size_t at = path.find(L'\\', card.size() + 1); at != std::wstring::npos;
             at = path.find(L'\\', at + 1))
            CreateDirectoryW(Extended(path.substr(0, at)).c_str(), nullptr);
        WriteBytes(Extended(path), SampleBytes(size, ++seed), attributes);
    }

    void Folder(const std::wstring& relative, DWORD attributes = 0)
    {
        MakeFolder(Extended(card + L"\\" + relative));
        if (attributes) SetFileAttributesW(Extended(card + L"\\" + relative).c_str(), attributes);
    }

    // With a path past MAX_PATH unless `shellSized`: the shell's copy does not take them (the program refuses to
    // give it such a card).
    void WriteCard(bool shellSized = false)
    {
        std::wstring deep;
        while (deep.size() < 280) deep += L"長いフォルダの名前0123456789\\";
        MakeFolder(card);
        MakeFolder(temp.path() + L"\\保存先");
        MakeFolder(temp.path() + L"\\控え");
        Write(L"empty.txt", 0);
        Write(L"DCIM\\100写真\\sector-1.jpg", 4095);
        Write(L"DCIM\\100写真\\sector.jpg", 4096);
        Write(L"DCIM\\100写真\\sector+1.jpg", 4097, FILE_ATTRIBUTE_READONLY);
        Write(L"DCIM\\101한국\\block-1.raw", kBlock - 1, FILE_ATTRIBUTE_ARCHIVE);
        Write(L"DCIM\\101한국\\block.raw", kBlock, FILE_ATTRIBUTE_HIDDEN);
        Write(L"DCIM\\101한국\\𠮷block+1.raw", kBlock + 1);
        Write(L"PRIVATE\\M4ROOT\\CLIP\\C0001.MP4", kPastEveryBlock);
        Folder(L"空のフォルダ");
        Folder(L"隠しフォルダ", FILE_ATTRIBUTE_HIDDEN);
        Write(L"隠しフォルダ\\System Volume.dat", 10, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (!shellSized) Write(deep + L"奥.jpg", 5000);
        for (int i = 0; i < 40; ++i) Write(L"MISC\\小さい_" + std::to_wstring(i) + L".xmp", 24 * 1024 + i);
    }

    CopyEnding Copy(std::vector<std::wstring> targets, bool check, std::stop_token stop = {})
    {
        job.entries = EntriesBelow(card);
        job.targets = std::move(targets);
        job.check = check;
        return Win32FileCopier().Copy(job, progress, stop);
    }

    std::vector<ComparisonResult> CardResults() const
    {
        std::vector<ComparisonResult> results;
        for (const CopiedEntry& entry : progress.entries) results.push_back(entry.card.result);
        return results;
    }

    std::uint64_t CardBytes() const
    {
        std::uint64_t bytes = 0;
        for (const CopyEntry& entry : job.entries) bytes += entry.size;
        return bytes;
    }

    std::size_t IndexOf(const std::wstring& relative) const
    {
        for (std::size_t i = 0; i < job.entries.size(); ++i)
            if (job.entries[i].relativePath == relative) return i;
        throw std::runtime_error("no such entry");
    }

    TempFolder temp;
    const std::wstring card = temp.path() + L"\\カード";
    const std::wstring first = temp.path() + L"\\保存先\\2027_0302";
    const std::wstring second = temp.path() + L"\\控え\\2027_0302";
    std::uint32_t seed = 0;
    CopyJob job;
    RecordedCopy progress;
};

struct TargetsCase {
    const char* name;
    bool backup;
    bool check;
};

void PrintTo(const TargetsCase& c, std::ostream* out) { *out << c.name; }

class CopyIntoTargetsTest : public CardTest, public ::testing::WithParamInterface<TargetsCase> {};

TEST_P(CopyIntoTargetsTest, MakesTheCardsTreeInEveryTargetWithItsBytesTimesAndAttributes)
{
    WriteCard();
    std::vector<std::wstring> targets{first};
    if (GetParam().backup) targets.push_back(second);

    const CopyEnding ending = Copy(targets, GetParam().check);

    EXPECT_EQ(ending.end, CopyEnd::Finished);
    ASSERT_EQ(progress.entries.size(), job.entries.size());
    for (const CopiedEntry& entry : progress.entries) {
        EXPECT_EQ(entry.card.result, ComparisonResult::Equal);
        EXPECT_EQ(entry.copies, std::vector<FileComparison>(targets.size()));
    }
    EXPECT_EQ(progress.copied, CardBytes());
    EXPECT_EQ(progress.checked, GetParam().check ? CardBytes() : 0);
    EXPECT_TRUE(std::is_sorted(progress.reached.begin(), progress.reached.end()));
    const std::vector<std::wstring> cardTree = DescribeTree(card);
    for (const std::wstring& target : targets) {
        EXPECT_EQ(DescribeTree(target), cardTree) << "no temporary file left, every name, size, time and attribute";
        EXPECT_EQ(FilesThatDiffer(Extended(card), Extended(target)), std::vector<std::wstring>{});
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, CopyIntoTargetsTest,
                         ::testing::Values(TargetsCase{"OneTarget", false, false},
                                           TargetsCase{"OneTargetChecked", false, true},
                                           TargetsCase{"TwoTargetsChecked", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// The shell's copy, which the program uses without the option, and this copier make the same tree.
TEST_F(CardTest, MakesTheTreeTheShellsCopyMakes)
{
    WriteCard(true);
    const std::wstring byShell = temp.path() + L"\\保存先\\シェル";
    const UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
    Win32Shell shell;
    const testing::QuestionBoxAnswerer answerer;  // presses the default button of a question, should one come
    ASSERT_EQ(CopyFolder(shell, owner.get(), card + L"\\*.*", byShell, false), 0);

    ASSERT_EQ(Copy({first}, true).end, CopyEnd::Finished);

    // Folders by their names alone: Wine's shell copy makes every folder plain (a hidden one too), where the copier
    // gives it the card folder's attributes.
    const auto namesOfFolders = [](std::vector<std::wstring> lines) {
        for (std::wstring& line : lines) {
            if (const std::size_t end = line.find(L"\\ attributes "); end != std::wstring::npos) line.resize(end + 1);
        }
        return lines;
    };
    EXPECT_EQ(Difference(namesOfFolders(DescribeTree(first)), namesOfFolders(DescribeTree(byShell))),
              std::vector<std::wstring>{});
}

TEST_F(CardTest, AFileTheCardCannotGiveIsNamedAndTheRestIsCopied)
{
    WriteCard();
    const UniqueFileHandle locked(CreateFileW(Extended(card + L"\\DCIM\\101한국\\block.raw").c_str(), GENERIC_READ, 0,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked.valid());

    EXPECT_EQ(Copy({first}, true).end, CopyEnd::Finished);

    const std::size_t unreadable = IndexOf(L"DCIM\\101한국\\block.raw");
    ASSERT_EQ(progress.entries.size(), job.entries.size());
    for (std::size_t i = 0; i < job.entries.size(); ++i) {
        const CopiedEntry& entry = progress.entries[i];
        EXPECT_EQ(entry.card.result, i == unreadable ? ComparisonResult::Unreadable : ComparisonResult::Equal);
        EXPECT_EQ(entry.card.reason.empty(), i != unreadable);
        EXPECT_EQ(entry.copies.size(), i == unreadable ? 0u : 1u);
    }
    std::vector<std::wstring> expected = DescribeTree(card);
    std::erase_if(expected, [](const std::wstring& line) { return line.starts_with(L"DCIM\\101한국\\block.raw "); });
    EXPECT_EQ(DescribeTree(first), expected) << "nothing under the unread file's name, no temporary file";
}

struct InTheWayCase {
    const char* name;
    std::function<void(const std::wstring& target)> prepare;  // puts something in the target before the copy
    const wchar_t* failing;                                     // the entries whose copy fails, "" for none
    const wchar_t* failingToo;
};

void PrintTo(const InTheWayCase& c, std::ostream* out) { *out << c.name; }

class InTheWayTest : public CardTest, public ::testing::WithParamInterface<InTheWayCase> {};

// What is in the target already: a file is replaced (a read-only one too); what cannot be replaced fails for its
// entry alone, with the system's reason, and leaves no temporary file.
TEST_P(InTheWayTest, ReplacesFilesAndNamesWhatCannotBeReplaced)
{
    MakeFolder(card);
    Write(L"a.jpg", 5000);
    Write(L"sub\\b.jpg", 100);
    Write(L"c.jpg", 7000);
    MakeFolder(temp.path() + L"\\保存先");
    MakeFolder(first);
    GetParam().prepare(first);

    EXPECT_EQ(Copy({first}, true).end, CopyEnd::Finished);

    ASSERT_EQ(progress.entries.size(), job.entries.size());
    std::vector<std::wstring> failed;
    for (std::size_t i = 0; i < job.entries.size(); ++i) {
        ASSERT_EQ(progress.entries[i].copies.size(), 1u);
        const FileComparison& copy = progress.entries[i].copies[0];
        if (copy.result == ComparisonResult::Equal) continue;
        EXPECT_EQ(copy.result, ComparisonResult::Unreadable);
        EXPECT_FALSE(copy.reason.empty());
        failed.push_back(job.entries[i].relativePath);
    }
    std::vector<std::wstring> expected;
    for (const wchar_t* failing : {GetParam().failing, GetParam().failingToo})
        if (*failing) expected.push_back(failing);
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, expected);
    for (const std::wstring& line : DescribeTree(first)) EXPECT_EQ(line.find(L".tmp"), std::wstring::npos) << line;
    if (expected.empty()) {
        EXPECT_EQ(DescribeTree(first), DescribeTree(card));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, InTheWayTest,
    ::testing::Values(
        InTheWayCase{"AnOlderFile", [](const std::wstring& t) { WriteBytes(t + L"\\a.jpg", "old"); }, L"", L""},
        InTheWayCase{"AReadOnlyFile",
                     [](const std::wstring& t) { WriteBytes(t + L"\\a.jpg", "old", FILE_ATTRIBUTE_READONLY); }, L"",
                     L""},
        InTheWayCase{"AFolderWhereAFileGoes", [](const std::wstring& t) { MakeFolder(t + L"\\c.jpg"); }, L"c.jpg",
                     L""},
        InTheWayCase{"AFileWhereAFolderGoes", [](const std::wstring& t) { WriteBytes(t + L"\\sub", "x"); }, L"sub",
                     L"sub\\b.jpg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardTest, AStopMidFileLeavesNoFileUnderItsNameAndReturnsAtOnce)
{
    MakeFolder(card);
    MakeFolder(temp.path() + L"\\保存先");
    Write(L"a.jpg", 5000);
    Write(L"big.mov", 3 * kPastEveryBlock);
    Write(L"c.jpg", 7000);
    std::stop_source stop;
    std::chrono::steady_clock::time_point stopped;
    progress.onCopied = [&] {
        if (stop.stop_requested() || progress.copied < 5000 + kBlock) return;
        stopped = std::chrono::steady_clock::now();
        stop.request_stop();
    };

    EXPECT_EQ(Copy({first}, false, stop.get_token()).end, CopyEnd::Stopped);

    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::milliseconds(500));
    EXPECT_EQ(progress.entries.size(), 1u) << "a.jpg is whole, the rest not";
    EXPECT_EQ(SortedTree(first), std::vector<std::wstring>{L"a.jpg"}) << "no big.mov, no temporary file";
}

// Devices that fail as a folder of the test cannot: tests/platform/copier_faults.sh mounts them and names them in
// the environment; without them these tests are skipped.
class CopierFaultTest : public CardTest {
protected:
    static std::wstring Mounted(const wchar_t* variable)
    {
        wchar_t path[MAX_PATH]{};
        return GetEnvironmentVariableW(variable, path, MAX_PATH) ? path : L"";
    }
};

TEST_F(CopierFaultTest, ADiskThatFillsUpStopsTheCopyAndLeavesOnlyWholeFiles)
{
    const std::wstring small = Mounted(L"KORVANE_SMALL_DISK");  // 8 MiB
    if (small.empty()) GTEST_SKIP() << "no small disk";
    MakeFolder(card);
    for (int i = 0; i < 5; ++i) Write(L"IMG_" + std::to_wstring(i) + L".JPG", 3u << 20);
    const std::wstring target = small + L"\\2027_0302";

    const CopyEnding ending = Copy({target}, false);

    EXPECT_EQ(ending.end, CopyEnd::DiskFull);
    EXPECT_EQ(ending.target, 0u);
    EXPECT_FALSE(ending.reason.empty());
    std::vector<std::wstring> whole;
    for (std::size_t i = 0; i < progress.entries.size(); ++i) {
        if (progress.entries[i].copies == std::vector<FileComparison>(1)) whole.push_back(job.entries[i].relativePath);
    }
    EXPECT_EQ(whole.size(), 2u) << "two files of 3 MiB fit";
    EXPECT_EQ(SortedTree(target), whole) << "no part of a file, no temporary file";
    for (const std::wstring& name : whole) EXPECT_EQ(ReadBytes(target + L"\\" + name), ReadBytes(card + L"\\" + name));
    RemoveTree(target);
}

TEST_F(CopierFaultTest, ACardThatStopsAnsweringIsLeftWithinHalfASecondOfTheStop)
{
    const std::wstring hanging = Mounted(L"KORVANE_HANGING_CARD");  // a.jpg reads, hang.jpg never answers
    if (hanging.empty()) GTEST_SKIP() << "no hanging card";
    MakeFolder(temp.path() + L"\\保存先");
    std::stop_source stop;
    std::chrono::steady_clock::time_point stopped;
    std::jthread stopper;
    struct StopWhenHanging : RecordedCopy {
        std::function<void(std::size_t)> onCopying;
        void Copying(std::size_t index) override { onCopying(index); }
    };
    StopWhenHanging stopping;
    stopping.onCopying = [&](std::size_t index) {
        if (index != 1 || stopper.joinable()) return;
        stopper = std::jthread([&] {
            Sleep(300);  // the read of hang.jpg is pending by now
            stopped = std::chrono::steady_clock::now();
            stop.request_stop();
        });
    };
    job.entries = EntriesBelow(hanging);
    std::sort(job.entries.begin(), job.entries.end(),
              [](const CopyEntry& a, const CopyEntry& b) { return a.relativePath < b.relativePath; });
    job.targets = {first};

    const CopyEnding ending = Win32FileCopier().Copy(job, stopping, stop.get_token());
    const auto returned = std::chrono::steady_clock::now();
    stopper.join();

    EXPECT_EQ(ending.end, CopyEnd::Stopped);
    EXPECT_LT(returned - stopped, std::chrono::milliseconds(500));
    EXPECT_EQ(stopping.entries.size(), 1u);
    EXPECT_EQ(SortedTree(first), std::vector<std::wstring>{L"a.jpg"}) << "nothing of hang.jpg";
}

// The checker on its own: a file handed to it is flushed, read back and compared with the card's checksum.
struct CheckCase {
    const char* name;
    std::function<void(const std::wstring& copy)> spoil;  // after the copy was written, before it is read back
    ComparisonResult expected;
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

class CheckerTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckerTest, FindsACopyThatDiffersFromTheCardsChecksum)
{
    TempFolder temp;
    const std::string bytes = SampleBytes(3 * kBlock + 5, 7);
    const auto pipeline = std::make_shared<CopyPipeline>(
        CopyJob{.entries = {{L"card\\a.mov", L"a.mov", false, bytes.size()}}, .targets = {temp.path()}, .check = true});
    StreamingChecksum checksum;
    checksum.Add(bytes.data(), bytes.size());
    CardFacts card;
    card.bytesRead = bytes.size();
    card.checksum = checksum.Value();
    pipeline->Hand({.kind = Piece::Kind::FileEnd, .entry = 0}, card);
    WriteBytes(temp / L"a.mov", bytes);
    GetParam().spoil(temp / L"a.mov");
    UniqueFileHandle written(CreateFileW((temp / L"b.mov").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                         nullptr));  // stands for the writer's handle, which the checker flushes

    CopyChecker checker(pipeline, 0);
    ASSERT_TRUE(checker.Take(0, std::move(written)));
    checker.Close();
    checker.FlushFiles();
    checker.ReadBackFiles();

    CopyFigures figures;
    std::vector<std::pair<std::size_t, CopiedEntry>> done;
    pipeline->TakeNews(figures, done);
    ASSERT_EQ(done.size(), 1u);
    ASSERT_EQ(done[0].second.copies.size(), 1u);
    EXPECT_EQ(done[0].second.copies[0].result, GetParam().expected);
}

std::string Flipped(std::string bytes, std::size_t at)
{
    bytes.at(at) ^= 0x01;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Copies, CheckerTest,
    ::testing::Values(
        CheckCase{"Whole", [](const std::wstring&) {}, ComparisonResult::Equal},
        CheckCase{"ByteChangedInTheLastBlock",
                  [](const std::wstring& copy) { WriteBytes(copy, Flipped(ReadBytes(copy), 3 * kBlock + 4)); },
                  ComparisonResult::Differs},
        CheckCase{"ByteChangedInTheFirstBlock",
                  [](const std::wstring& copy) { WriteBytes(copy, Flipped(ReadBytes(copy), 0)); },
                  ComparisonResult::Differs},
        CheckCase{"OneByteShort", [](const std::wstring& copy) { WriteBytes(copy, ReadBytes(copy).substr(1)); },
                  ComparisonResult::Differs},
        CheckCase{"Gone", [](const std::wstring& copy) { DeleteFileW(copy.c_str()); },
                  ComparisonResult::MissingInCopy}),
    [](const auto& info) { return std::string(info.param.name); });

// The hand-over between two threads: in order, a full one holds the giver back, a closed one is still emptied, and
// a stop frees both sides.
TEST(HandOverTest, PassesItemsInOrderWithinItsBoundUntilClosedOrStopped)
{
    Monitor monitor;
    std::stop_source stop;
    HandOver<int> handOver(monitor, stop.get_token(), 2);
    ASSERT_TRUE(handOver.Put(1));
    ASSERT_TRUE(handOver.Put(2));
    std::atomic<bool> thirdIn = false;
    std::jthread giver([&] { thirdIn = handOver.Put(3); });
    Sleep(100);
    EXPECT_FALSE(thirdIn) << "two items wait: the third waits for room";
    EXPECT_EQ(handOver.Take(), 1);
    giver.join();
    EXPECT_TRUE(thirdIn);
    handOver.Close();
    EXPECT_EQ(handOver.Take(), 2);
    EXPECT_EQ(handOver.Take(), 3);
    EXPECT_EQ(handOver.Take(), std::nullopt);

    HandOver<int> full(monitor, stop.get_token(), 1);
    ASSERT_TRUE(full.Put(1));
    HandOver<int> empty(monitor, stop.get_token(), 1);
    std::jthread stopper([&] {
        Sleep(100);
        monitor.RequestStop(stop);
    });
    EXPECT_FALSE(full.Put(2));
    EXPECT_EQ(empty.Take(), std::nullopt);
}

// A side that waits is woken by the other's hand-over, not at its next look for a stop: ten items there and back
// take far less than the ten looks they would otherwise wait for.
TEST(HandOverTest, WakesTheSideThatWaits)
{
    constexpr int kItems = 10;
    Monitor monitor;
    std::stop_source stop;
    HandOver<int> there(monitor, stop.get_token(), 1), back(monitor, stop.get_token(), 1);
    std::jthread echo([&] {
        for (int item = 0; item < kItems; ++item) back.Put(there.Take().value_or(-1));
    });
    const auto start = std::chrono::steady_clock::now();
    for (int item = 0; item < kItems; ++item) {
        Sleep(1);  // the echo waits by now
        ASSERT_TRUE(there.Put(item));
        EXPECT_EQ(back.Take(), item);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kItems * Monitor::kStopSeenMs / 2));
}

// An entry complete when the copy stops is still reported: the news taken after the stop hold it.
TEST(CopyPipelineTest, AnEntryDoneBeforeAStopIsStillReported)
{
    for (const bool byCaller : {false, true}) {
        SCOPED_TRACE(byCaller ? "stopped by the caller" : "stopped by the copy");
        CopyPipeline pipeline(
            CopyJob{.entries = {{L"E:\\DCIM\\IMG_1.JPG", L"IMG_1.JPG", false, 3}}, .targets = {L"C:\\写真"}});
        CardFacts card;
        card.bytesRead = 3;
        pipeline.Hand({.kind = Piece::Kind::FileEnd, .entry = 0}, card);
        pipeline.Outcome(0, 0, {});
        std::stop_source caller;
        if (byCaller) {
            caller.request_stop();
        } else {
            pipeline.Stop({.end = CopyEnd::DiskFull, .target = 0, .reason = L"ディスクがいっぱいです"});
        }

        CopyFigures figures;
        std::vector<std::pair<std::size_t, CopiedEntry>> done;
        EXPECT_FALSE(pipeline.WaitForNews(caller.get_token(), figures, done));
        EXPECT_TRUE(done.empty()) << "a caller drops what a wait that returns false gave";
        pipeline.TakeNews(figures, done);
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].second.copies, std::vector<FileComparison>(1));
    }
}

// The checksum is xxHash's XXH3 128-bit (the values from the library's native build), whatever the pieces.
TEST(StreamingChecksumTest, IsXxh3Of128BitsWhateverThePieces)
{
    std::string bytes(5000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    StreamingChecksum checksum;
    EXPECT_EQ(checksum.Value(), (Checksum{0x6001c324468d497full, 0x99aa06d3014798d8ull}));
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, bytes.size()}) {
        checksum.Reset();
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            checksum.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(checksum.Value(), (Checksum{0x559fff92c2b7f8eeull, 0x3bf60aa89c7feeaaull})) << piece;
    }
}

}  // namespace
}  // namespace korvane
