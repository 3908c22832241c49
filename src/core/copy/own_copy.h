#pragma once
// The copy the program makes by itself (Options::readCardOnce) in place of the shell's: the card read once, each
// file written under a temporary name and named when whole, and, with the verification on, each copy read back
// and compared with the checksum made from the card's blocks while later files are copied.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/earlier_copies/already_copied.h"
#include "core/plan/copy_plan.h"
#include "core/verify/verify_plan.h"
#include "platform/dialogs.h"
#include "platform/file_copier.h"
#include "platform/window_handle.h"

namespace korvane {

// The plan's folders, then its files (the new ones alone when only those are copied), into the plan's target.
CopyJob OwnCopyJob(const CopyPlan& plan, const FilesToCopy& files, bool check);

// What comes before anything is copied: a card listed in full, the one question for files at their paths in a
// new folder already (Yes replaces them all, No keeps them and leaves them out, Cancel ends the run), and room for
// the bytes to copy on each target's disk (twice the bytes on a disk that holds both targets). The job to run, or nothing once a box has ended the run.
// Throws Failure when the free space cannot be had.
std::optional<CopyJob> PrepareOwnCopy(const Services& services, const CopyPlan& plan, CopyJob job);

struct OwnCopyOutcome {
    CopyEnding ending;
    // In the verification's terms: the files and bytes of the job, those done (copied and, when checking,
    // checked), and every file the card did not give or whose copy failed or differs.
    VerifyOutcome files;
    std::vector<std::vector<VerifyProblem>> copyProblems;  // per target: the problems of its copy and the card's
    bool checked = false;
};

// Runs the job behind a progress window owned by `owner` (the file, a bar, bytes done of the total, speed, time
// left, Cancel); copying and checking count in the same bar.
OwnCopyOutcome RunOwnCopy(const Services& services, WindowHandle owner, const CopyJob& job);

// The question after a copy into `targets` (the job's) that did not go wholly well (a full disk, named; a failure;
// a cancel; files not copied or that differ, for each target apart when there are two), or nothing.
std::optional<MessageBoxSpec> OwnCopyProblemsQuestion(const OwnCopyOutcome& outcome,
                                                      const std::vector<std::wstring>& targets);

// The line of the completion box: how many files were checked; empty when the copy was not checked.
std::wstring OwnCopyDoneLine(const OwnCopyOutcome& outcome);

}  // namespace korvane
