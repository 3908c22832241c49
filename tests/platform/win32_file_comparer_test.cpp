#include "platform/win32/win32_file_comparer.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <chrono>
#include <functional>
#include <new>
#include <system_error>

#include "platform/win32/win32_handles.h"
#include "support/file_tree.h"

namespace korvane {
namespace {

using testing::filetree::SampleBytes;
using testing::filetree::TempFolder;
using testing::filetree::WriteBytes;

constexpr std::size_t kBlock = Win32FileComparer::kBlockSize;
// More than all the read-ahead blocks: the reader must hand its blocks round.
constexpr std::size_t kPastEveryBlock = Win32FileComparer::kReadAheadBlocks * kBlock + 4097;
constexpr ComparisonResult kEqual = ComparisonResult::Equal;
constexpr ComparisonResult kDiffers = ComparisonResult::Differs;
constexpr ComparisonResult kMissing = ComparisonResult::MissingInCopy;
constexpr ComparisonResult kUnreadable = ComparisonResult::Unreadable;

std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

// Records what the comparer reports, and stops it where a test says.
class RecordedProgress : public ComparisonProgress {
public:
    void BytesCompared(std::uint64_t count) override
    {
        bytes += count;
        if (onBytes) onBytes();
    }
    void FileCompared(std::size_t index, const FileComparison& comparison) override
    {
        EXPECT_EQ(index, results.size());
        results.push_back(comparison);
    }

    std::uint64_t bytes = 0;
    std::vector<FileComparison> results;
    std::function<void()> onBytes;
};

// A card folder and its copy in a temporary folder, both written by the test.
class Win32FileComparerTest : public ::testing::Test {
public:
    // The files the test wrote, on both sides.
    class Pairs : public FilePairs {
    public:
        explicit Pairs(const Win32FileComparerTest& test) : test_(test) {}
        std::size_t Count() const override { return test_.relatives.size(); }
        FilePair Pair(std::size_t i) const override
        {
            return {test_.Original(test_.relatives.at(i)), test_.Copy(test_.relatives.at(i))};
        }

    private:
        const Win32FileComparerTest& test_;
    };

    std::wstring Original(const std::wstring& relative) const { return temp.path() + L"\\カード\\" + relative; }
    std::wstring Copy(const std::wstring& relative) const { return temp.path() + L"\\コピー\\" + relative; }

    // Writes the file, making the folders on its way.
    void Write(const std::wstring& path, const std::string& bytes) const
    {
        for (std::size_t at = path.find(L'\\', temp.path().size() + 1); at != std::wstring::npos;
             at = path.find(L'\\', at + 1))
            CreateDirectoryW(Extended(path.substr(0, at)).c_str(), nullptr);
        WriteBytes(Extended(path), bytes);
    }

    // Each file written on both sides with bytes of its own.
    void WriteBoth(const std::vector<std::pair<std::wstring, std::size_t>>& files)
    {
        std::uint32_t seed = 1;
        for (const auto& [relative, size] : files) {
            const std::string bytes = SampleBytes(size, seed++);
            Write(Original(relative), bytes);
            Write(Copy(relative), bytes);
            relatives.push_back(relative);
        }
    }

    // Changes one byte of the copy of `relative`.
    void Flip(const std::wstring& relative, std::size_t at)
    {
        std::string bytes = testing::filetree::ReadBytes(Extended(Copy(relative)));
        bytes.at(at) ^= 0x01;
        WriteBytes(Extended(Copy(relative)), bytes);
    }

    std::vector<ComparisonResult> Compare(std::stop_token stop = {})
    {
        Win32FileComparer().Compare(Pairs(*this), progress, stop);
        std::vector<ComparisonResult> results;
        for (const FileComparison& comparison : progress.results) results.push_back(comparison.result);
        return results;
    }

    TempFolder temp;
    std::vector<std::wstring> relatives;
    RecordedProgress progress;
    UniqueFileHandle lock;  // held while the comparison runs
};

TEST_F(Win32FileComparerTest, IdenticalTreesAreEqualAtEverySizeDepthAndName)
{
    std::wstring deep;
    while (deep.size() < 280) deep += L"長いフォルダの名前0123456789\\";
    WriteBoth({{L"empty.txt", 0},
               {L"one.txt", 1},
               {L"DCIM\\100写真\\sector-1.jpg", 4095},
               {L"DCIM\\100写真\\sector.jpg", 4096},
               {L"DCIM\\100写真\\sector+1.jpg", 4097},
               {L"DCIM\\101한국\\block-1.raw", kBlock - 1},
               {L"DCIM\\101한국\\block.raw", kBlock},
               {L"DCIM\\101한국\\𠮷block+1.raw", kBlock + 1},
               {L"PRIVATE\\M4ROOT\\CLIP\\C0001.MP4", kPastEveryBlock},
               {deep + L"奥.jpg", 5000}});
    ASSERT_GT(Original(relatives.back()).size(), static_cast<std::size_t>(MAX_PATH));

    EXPECT_EQ(Compare(), std::vector<ComparisonResult>(relatives.size(), kEqual));
    EXPECT_EQ(progress.bytes, 0 + 1 + 4095 + 4096 + 4097 + 3 * kBlock + kPastEveryBlock + 5000);
}

struct SpoilCase {
    const char* name;
    std::function<void(Win32FileComparerTest&)> spoil;
    std::vector<ComparisonResult> expected;
};

void PrintTo(const SpoilCase& c, std::ostream* out) { *out << c.name; }

class SpoiledCopyTest : public Win32FileComparerTest, public ::testing::WithParamInterface<SpoilCase> {};

// The file after a spoiled one is still compared, and found equal: the read-ahead skips the rest of a spoiled file.
TEST_P(SpoiledCopyTest, FindsTheFileThatDiffersIsMissingOrCannotBeReadAndGoesOnWithTheNext)
{
    WriteBoth({{L"a.jpg", 4097},
               {L"b.raw", kBlock + 1},
               {L"c.mp4", kPastEveryBlock},
               {L"sub\\d.txt", 10},
               {L"e.mov", kPastEveryBlock}});
    GetParam().spoil(*this);
    const std::vector<ComparisonResult> results = Compare();
    EXPECT_EQ(results, GetParam().expected);
    for (const FileComparison& comparison : progress.results) {
        EXPECT_EQ(comparison.reason.empty(), comparison.result != kUnreadable) << "a reason only for Unreadable";
    }
}

UniqueFileHandle LockAgainstReading(const std::wstring& path)
{
    return UniqueFileHandle(CreateFileW(Extended(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Spoils, SpoiledCopyTest,
    ::testing::Values(
        SpoilCase{"FirstByte", [](auto& t) { t.Flip(L"a.jpg", 0); }, {kDiffers, kEqual, kEqual, kEqual, kEqual}},
        SpoilCase{"ByteInTheTailPastASector", [](auto& t) { t.Flip(L"a.jpg", 4096); },
                  {kDiffers, kEqual, kEqual, kEqual, kEqual}},
        SpoilCase{"ByteInTheSecondBlock", [](auto& t) { t.Flip(L"b.raw", kBlock); },
                  {kEqual, kDiffers, kEqual, kEqual, kEqual}},
        // The read-ahead is stopped while it waits for a block: the blocks it holds must all come back once.
        SpoilCase{"FirstByteOfAFileLongerThanTheReadAhead", [](auto& t) { t.Flip(L"c.mp4", 0); },
                  {kEqual, kEqual, kDiffers, kEqual, kEqual}},
        SpoilCase{"ByteInABlockReadAfterTheRingCameRound", [](auto& t) { t.Flip(L"c.mp4", kPastEveryBlock - 2); },
                  {kEqual, kEqual, kDiffers, kEqual, kEqual}},
        SpoilCase{"CopyOneByteShort",
                  [](auto& t) {
                      WriteBytes(Extended(t.Copy(L"b.raw")),
                                 testing::filetree::ReadBytes(Extended(t.Original(L"b.raw"))).substr(0, kBlock));
                  },
                  {kEqual, kDiffers, kEqual, kEqual, kEqual}},
        SpoilCase{"FileMissingInTheCopy", [](auto& t) { DeleteFileW(Extended(t.Copy(L"c.mp4")).c_str()); },
                  {kEqual, kEqual, kMissing, kEqual, kEqual}},
        SpoilCase{"FolderMissingInTheCopy",
                  [](auto& t) {
                      DeleteFileW(Extended(t.Copy(L"sub\\d.txt")).c_str());
                      RemoveDirectoryW(Extended(t.Copy(L"sub")).c_str());
                  },
                  {kEqual, kEqual, kEqual, kMissing, kEqual}},
        SpoilCase{"OriginalLockedAgainstReading", [](auto& t) { t.lock = LockAgainstReading(t.Original(L"b.raw")); },
                  {kEqual, kUnreadable, kEqual, kEqual, kEqual}},
        SpoilCase{"CopyLockedAgainstReading", [](auto& t) { t.lock = LockAgainstReading(t.Copy(L"a.jpg")); },
                  {kUnreadable, kEqual, kEqual, kEqual, kEqual}},
        // A photo manager that holds a copy open for writing, sharing it, does not make it unreadable.
        SpoilCase{"CopyHeldOpenForWritingByAnotherProgram",
                  [](auto& t) {
                      t.lock = UniqueFileHandle(CreateFileW(Extended(t.Copy(L"b.raw")).c_str(), GENERIC_WRITE,
                                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                            OPEN_EXISTING, 0, nullptr));
                  },
                  {kEqual, kEqual, kEqual, kEqual, kEqual}}),
    [](const auto& info) { return std::string(info.param.name); });

// Past 4 GiB, offsets need their high half: a file made sparse, so that it takes no room on the disk.
TEST_F(Win32FileComparerTest, ComparesASparseFileLargerThanFourGibibytes)
{
    constexpr std::int64_t kSize = (4ll << 30) + 4097;
    const auto makeSparse = [this](const std::wstring& path, char last) {
        Write(path, "start");
        const UniqueFileHandle file(
            CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD returned = 0;
        ASSERT_TRUE(DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr));
        LARGE_INTEGER at{};
        at.QuadPart = kSize - 1;
        ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), &last, 1, &written, nullptr));
    };
    // Equal up to the last byte: all of the first 4 GiB compared equal, and the byte past them read right.
    makeSparse(Original(L"big.mov"), 'e');
    makeSparse(Copy(L"big.mov"), 'E');
    relatives = {L"big.mov"};

    EXPECT_EQ(Compare(), std::vector<ComparisonResult>{kDiffers});
    EXPECT_EQ(progress.bytes, static_cast<std::uint64_t>(kSize) - 4097);
}

// A failure of the comparer's own work while it reaches a file (its path made on a reading thread) is that file's
// verdict, and the next files are compared.
TEST_F(Win32FileComparerTest, AnExceptionWhileReachingAFileMakesItUnreadable)
{
    WriteBoth({{L"a.jpg", 10}, {L"b.jpg", kBlock + 1}, {L"c.jpg", 20}});
    const std::vector<std::pair<const char*, std::function<void()>>> failures = {
        {"no memory", [] { throw std::bad_alloc(); }},
        {"a system error", [] { throw std::system_error(ERROR_INVALID_HANDLE, std::system_category()); }},
        {"anything else", [] { throw 42; }},
    };
    for (const auto& [name, fail] : failures) {
        SCOPED_TRACE(name);
        class FailingPairs : public Pairs {
        public:
            FailingPairs(const Win32FileComparerTest& test, std::function<void()> fail)
                : Pairs(test), fail_(std::move(fail))
            {
            }
            FilePair Pair(std::size_t i) const override
            {
                if (i == 1) fail_();
                return Pairs::Pair(i);
            }

        private:
            std::function<void()> fail_;
        } pairs(*this, fail);
        RecordedProgress recorded;
        Win32FileComparer().Compare(pairs, recorded, {});
        ASSERT_EQ(recorded.results.size(), 3u);
        EXPECT_EQ(recorded.results[0].result, kEqual);
        EXPECT_EQ(recorded.results[1].result, kUnreadable);
        EXPECT_FALSE(recorded.results[1].reason.empty());
        EXPECT_EQ(recorded.results[2].result, kEqual);
    }
}

// Compare throws nothing, also when the one it reports to fails.
TEST_F(Win32FileComparerTest, AFailureWhileReportingEndsTheComparisonWithoutThrowing)
{
    WriteBoth({{L"a.jpg", 10}, {L"b.jpg", 20}});
    class FailingProgress : public ComparisonProgress {
    public:
        void BytesCompared(std::uint64_t) override {}
        void FileCompared(std::size_t, const FileComparison&) override { throw std::bad_alloc(); }
    } failing;
    EXPECT_NO_THROW(Win32FileComparer().Compare(Pairs(*this), failing, {}));
}

TEST_F(Win32FileComparerTest, StopEndsTheComparisonWithinABlockLeavingTheRestUnreported)
{
    WriteBoth({{L"a.mov", 16 * kBlock}, {L"b.mov", 10}});
    std::stop_source stop;
    std::chrono::steady_clock::time_point stopped;
    progress.onBytes = [&] {
        if (stop.stop_requested()) return;
        stopped = std::chrono::steady_clock::now();
        stop.request_stop();
    };
    EXPECT_TRUE(Compare(stop.get_token()).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::milliseconds(200));
    EXPECT_EQ(progress.bytes, kBlock);
}

}  // namespace
}  // namespace korvane
