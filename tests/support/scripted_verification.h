#pragma once
// Fakes of the verification's seams: a comparer and a copier over a FileSystem's contents, and a long work that
// runs on the caller's thread, recording what its progress window would show.
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/file_comparer.h"
#include "platform/file_copier.h"
#include "platform/file_system.h"
#include "platform/long_work.h"

namespace korvane::testing {

// Compares what `files` reads at each pair's paths, in one block per file; a path in `unreadable` cannot be read.
// Checks for a stop before each block and before each file's report, as the real comparer does.
class ContentComparer : public FileComparer {
public:
    explicit ContentComparer(const FileSystem& files) : files_(files) {}

    void Compare(const FilePairs& pairs, ComparisonProgress& progress, std::stop_token stop) override
    {
        for (std::size_t i = 0; i < pairs.Count(); ++i) comparedPairs.push_back(pairs.Pair(i));
        ++runs;
        for (std::size_t i = 0; i < pairs.Count(); ++i) {
            if (stop.stop_requested()) return;
            const FilePair pair = pairs.Pair(i);
            const FileComparison comparison = CompareOne(pair);
            // As the real comparer, it tells of bytes only as it compares them, and a file that differs ends early.
            const bool equal = comparison.result == ComparisonResult::Equal;
            const std::size_t size = equal ? files_.ReadFile(pair.original)->size() : 0;
            if (size > 0) progress.BytesCompared(size);
            if (stop.stop_requested()) return;  // a stop seen between a file's blocks leaves the file unreported
            progress.FileCompared(i, comparison);
        }
    }

    std::map<std::wstring, std::wstring> unreadable;  // path, the system's reason
    std::vector<FilePair> comparedPairs;
    int runs = 0;

private:
    FileComparison CompareOne(const FilePair& pair) const
    {
        for (const std::wstring* path : {&pair.original, &pair.copy}) {
            if (auto found = unreadable.find(*path); found != unreadable.end())
                return {ComparisonResult::Unreadable, found->second};
        }
        const std::optional<std::string> original = files_.ReadFile(pair.original);
        const std::optional<std::string> copy = files_.ReadFile(pair.copy);
        if (!copy) return {ComparisonResult::MissingInCopy, {}};
        if (!original) return {ComparisonResult::Unreadable, {}};
        return {*original == *copy ? ComparisonResult::Equal : ComparisonResult::Differs, {}};
    }

    const FileSystem& files_;
};

// Copies through `files` what it reads at each entry's source, entry after entry, and reports as the real copier
// does; a source in `unreadable` cannot be read, a relative path in `copyResults` gets that outcome in every
// target and a copy's whole path in that target alone, and the disk fills up at the entry numbered `diskFullAt`. Checks for a stop before each entry.
class ContentCopier : public FileCopier {
public:
    explicit ContentCopier(FileSystem& files) : files_(files) {}

    CopyEnding Copy(const CopyJob& job, CopyProgress& progress, std::stop_token stop) override
    {
        jobs.push_back(job);
        for (std::size_t i = 0; i < job.entries.size(); ++i) {
            if (stop.stop_requested()) return {CopyEnd::Stopped, 0, {}};
            if (diskFullAt == i) return {CopyEnd::DiskFull, 0, L"ディスクに十分な空き領域がありません。"};
            progress.Copying(i);
            progress.EntryCopied(i, CopyOne(job, job.entries[i], progress));
        }
        return {};
    }

    std::map<std::wstring, std::wstring> unreadable;     // source path, the system's reason
    std::map<std::wstring, FileComparison> copyResults;  // relative path (or a copy's path), its outcome
    std::optional<std::size_t> diskFullAt;
    std::vector<CopyJob> jobs;

private:
    CopiedEntry CopyOne(const CopyJob& job, const CopyEntry& entry, CopyProgress& progress)
    {
        if (auto found = unreadable.find(entry.source); found != unreadable.end())
            return {{ComparisonResult::Unreadable, found->second}, {}};
        const std::optional<std::string> bytes = entry.isFolder ? std::nullopt : files_.ReadFile(entry.source);
        CopiedEntry copied;
        for (const std::wstring& target : job.targets) {
            const std::wstring path = target + L"\\" + entry.relativePath;
            if (entry.isFolder) {
                files_.CreateFolder(path);
            } else {
                files_.WriteFileAtomically(path, bytes.value_or(std::string{}));
            }
            auto result = copyResults.find(path);
            if (result == copyResults.end()) result = copyResults.find(entry.relativePath);
            copied.copies.push_back(result == copyResults.end() ? FileComparison{} : result->second);
        }
        if (bytes) {
            progress.BytesCopied(bytes->size());
            if (job.check) progress.BytesChecked(bytes->size());  // read back from every target
        }
        return copied;
    }

    FileSystem& files_;
};

// Runs the work at once on the calling thread; Cancel is "pressed" at the report numbered `cancelAtReport`.
class InlineLongWork : public LongWork {
public:
    struct Report {
        std::wstring item;
        std::uint64_t done = 0;
        bool operator==(const Report&) const = default;
    };

    void Run(WindowHandle owner, const LongWorkSpec& design,
             const std::function<void(WorkProgress&, std::stop_token)>& work) override
    {
        owners.push_back(owner);
        designs.push_back(design);
        std::stop_source cancel;
        Recorder recorder(*this, cancel);
        work(recorder, cancel.get_token());
    }

    std::optional<std::size_t> cancelAtReport;
    std::vector<WindowHandle> owners;
    std::vector<LongWorkSpec> designs;
    std::vector<Report> reports;

private:
    class Recorder : public WorkProgress {
    public:
        Recorder(InlineLongWork& work, std::stop_source& cancel) : work_(work), cancel_(cancel) {}
        void Report(const std::wstring& item, std::uint64_t done) override
        {
            work_.reports.push_back({item, done});
            if (work_.cancelAtReport == work_.reports.size()) cancel_.request_stop();
        }

    private:
        InlineLongWork& work_;
        std::stop_source& cancel_;
    };
};

}  // namespace korvane::testing
