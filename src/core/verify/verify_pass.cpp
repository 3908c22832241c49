#include "core/verify/verify_pass.h"

#include "core/common/path_text.h"
#include "core/verify/verify_messages.h"

namespace korvane {
namespace {

std::wstring Below(std::wstring folder, const std::wstring& relativePath)
{
    return RemoveLastBackslash(folder) + L"\\" + relativePath;
}

// The plan's files paired with their copies.
class PlanPairs : public FilePairs {
public:
    explicit PlanPairs(const VerifyPlan& plan) : plan_(plan) {}
    std::size_t Count() const override { return plan_.files.size(); }
    FilePair Pair(std::size_t index) const override
    {
        const std::wstring& relativePath = plan_.files.at(index).relativePath;
        return {Below(plan_.original, relativePath), Below(plan_.copy, relativePath)};
    }

private:
    const VerifyPlan& plan_;
};

// Turns the comparer's reports into the outcome and the progress window's figures.
class OutcomeCollector : public ComparisonProgress {
public:
    OutcomeCollector(const VerifyPlan& plan, WorkProgress& progress, VerifyOutcome& outcome)
        : plan_(plan), progress_(progress), outcome_(outcome)
    {
    }

    void BytesCompared(std::uint64_t count) override
    {
        inFile_ += count;
        outcome_.bytesCompared += count;
        Report();
    }

    void FileCompared(std::size_t index, const FileComparison& comparison) override
    {
        const VerifyItem& item = plan_.files.at(index);
        ++outcome_.filesCompared;
        // The rest of a file found different early counts as done, so that the figures reach the total.
        if (item.size > inFile_) outcome_.bytesCompared += item.size - inFile_;
        if (comparison.result != ComparisonResult::Equal) outcome_.problems.push_back({item.relativePath, comparison});
        current_ = index + 1;
        inFile_ = 0;
        Report();
    }

    void Report()
    {
        if (current_ >= plan_.files.size()) return;
        progress_.Report(plan_.files[current_].relativePath, outcome_.bytesCompared);
    }

private:
    const VerifyPlan& plan_;
    WorkProgress& progress_;
    VerifyOutcome& outcome_;
    std::size_t current_ = 0;
    std::uint64_t inFile_ = 0;
};

}  // namespace

std::vector<VerifyItem> FilesOf(const std::vector<PlannedFile>& files)
{
    std::vector<VerifyItem> items;
    items.reserve(files.size());
    for (const PlannedFile& file : files) items.push_back({file.relativePath, file.size});
    return items;
}

VerifyPlan PlanVerification(const std::wstring& original, const std::wstring& copy, std::vector<VerifyItem> files)
{
    VerifyPlan plan{original, copy, std::move(files), 0};
    for (const VerifyItem& file : plan.files) plan.totalBytes += file.size;
    return plan;
}

VerifyOutcome RunVerification(const VerifyPlan& plan, FileComparer& comparer, WorkProgress& progress,
                              std::stop_token stop)
{
    VerifyOutcome outcome;
    outcome.fileCount = plan.files.size();
    outcome.totalBytes = plan.totalBytes;
    OutcomeCollector collector(plan, progress, outcome);
    collector.Report();
    comparer.Compare(PlanPairs(plan), collector, stop);
    outcome.cancelled = outcome.filesCompared < outcome.fileCount;
    return outcome;
}

VerifyOutcome VerifyCopy(const Services& services, WindowHandle owner, const VerifyPlan& plan)
{
    VerifyOutcome outcome;
    const auto pass = [&](WorkProgress& progress, std::stop_token stop) {
        outcome = RunVerification(plan, services.comparer, progress, stop);
    };
    services.longWork.Run(owner, VerifyProgressSpec(plan.totalBytes), pass);
    return outcome;
}

}  // namespace korvane
