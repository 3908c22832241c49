#pragma once
// The texts of the verification pass: its progress window's figures and its outcome.
#include <cstdint>
#include <string>
#include <vector>

#include "core/verify/verify_plan.h"
#include "platform/dialogs.h"
#include "platform/long_work.h"

namespace korvane {

// A size as the explorer writes it, in steps of 1,024 with three significant digits (four below the next step),
// cut rather than rounded: "0 バイト", "1000 バイト", "1.50 KB", "1023 KB", "15.2 GB", "152 MB".
std::wstring FormatBytes(std::uint64_t bytes);

// A count with thousands separators: "1,234".
std::wstring FormatCount(std::uint64_t count);

// The title and caption of the pass's progress window.
LongWorkSpec VerifyProgressSpec(std::uint64_t totalBytes);

// What the progress window shows below the item after `seconds` of work.
struct ProgressFigures {
    std::wstring amount;    // "2.40 GB / 15.2 GB"
    std::wstring timeLeft;  // "35.2 MB/秒　残り 約 3 分", or a note that it is being worked out
    int permille = 0;       // of the total, for the progress bar
};
ProgressFigures FiguresOf(std::uint64_t done, std::uint64_t total, double seconds);

// The line below "コピーが完了しました" once the pass is over: every file equal, or the pass cancelled.
std::wstring VerifiedLine(const VerifyOutcome& outcome);

// The question after a pass that found files that differ, are missing in the copy or could not be read: how
// many of each, the first ten with their reason, then whether the user wants to see the result.
MessageBoxSpec VerifyProblemsQuestion(const VerifyOutcome& outcome);

// The same question with its own first line, and, for a cancelled run, its own line of how far it got.
MessageBoxSpec ProblemsQuestion(const VerifyOutcome& outcome, const std::wstring& heading,
                                const std::wstring& cancelledLine);

// What the check of one copy found, for the question after a run that made two (with a backup folder).
struct CopyFindings {
    std::wstring label;  // the copy's kind and new folder: "保存先：D:\Photos\2027_0302"
    VerifyOutcome outcome;
};

// ProblemsQuestion with a part for each copy: its label, then how many files of each kind and the first ten,
// or that it had none; the cancelled line once, when a copy's check was cancelled.
MessageBoxSpec CopiesProblemsQuestion(const std::vector<CopyFindings>& copies, const std::wstring& heading,
                                      const std::wstring& cancelledLine);

// VerifyProblemsQuestion for the checks of two copies, each with its part; the last one's line when cancelled.
MessageBoxSpec VerifyProblemsQuestion(const std::vector<CopyFindings>& copies);

// The question when the copied folder cannot even be listed for the pass.
MessageBoxSpec VerifyImpossibleQuestion(const std::wstring& folder, const std::wstring& reason);

}  // namespace korvane
