#pragma once
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/plan/copy_plan.h"
#include "core/verify/verify_plan.h"
#include "platform/file_comparer.h"
#include "platform/long_work.h"
#include "platform/window_handle.h"

namespace korvane {

// The planned files to compare, in their order.
std::vector<VerifyItem> FilesOf(const std::vector<PlannedFile>& files);

VerifyPlan PlanVerification(const std::wstring& original, const std::wstring& copy, std::vector<VerifyItem> files);

// The plan's pairs compared through `comparer`, each pair's outcome gathered; `progress` hears of the file
// being compared and the bytes done, counting a file that differs early as wholly done.
VerifyOutcome RunVerification(const VerifyPlan& plan, FileComparer& comparer, WorkProgress& progress,
                              std::stop_token stop);

// The pass as the user sees it: `plan` run off the user-interface thread behind a progress window owned by
// `owner`, with its Cancel button.
VerifyOutcome VerifyCopy(const Services& services, WindowHandle owner, const VerifyPlan& plan);

}  // namespace korvane
