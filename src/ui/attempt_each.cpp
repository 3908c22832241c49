#include "ui/attempt_each.h"

#include <windows.h>

#include <exception>
#include <string>

#include "platform/failure.h"

namespace korvane::ui {
namespace {

// The failure's own words: the system's reason and code for a Failure, the exception's text otherwise.
std::wstring ReasonOf(const std::exception& failure)
{
    if (const auto* platformFailure = dynamic_cast<const Failure*>(&failure)) {
        const std::wstring code = L"code " + std::to_wstring(platformFailure->code());
        return platformFailure->reason().empty() ? code : platformFailure->reason() + L" (" + code + L")";
    }
    const std::string_view text = failure.what();
    return std::wstring(text.begin(), text.end());  // the library's texts are ASCII
}

}  // namespace

void ReportToDebugger(std::wstring_view line)
{
    const std::wstring terminated = std::wstring(line) + L"\n";
    OutputDebugStringW(terminated.c_str());
}

void AttemptEach(std::initializer_list<AttemptedStep> steps, const StepFailureReport& report)
{
    for (const AttemptedStep& step : steps) {
        try {
            step.run();
        } catch (const std::exception& failure) {
            report(std::wstring(L"Korvane: ") + step.name + L" failed: " + ReasonOf(failure));
        }
    }
}

}  // namespace korvane::ui
