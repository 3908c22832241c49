#pragma once
#include <functional>
#include <initializer_list>
#include <string_view>

namespace korvane::ui {

// One step of a routine that attempts each of its steps.
struct AttemptedStep {
    const wchar_t* name;  // named in the report of its failure
    std::function<void()> run;
};

// Where the failure of a step is told: one line, for a developer, never for the user.
using StepFailureReport = std::function<void(std::wstring_view line)>;

// The debugger's output (OutputDebugStringW), which DebugView and a debugger show.
void ReportToDebugger(std::wstring_view line);

// Runs every step even when an earlier one failed, as a window does when it fills its controls. A failed step has
// nothing to tell the user (the window simply shows less), but it is not hidden from its developer: each failure
// goes to `report` as "Korvane: <step> failed: <reason>".
void AttemptEach(std::initializer_list<AttemptedStep> steps, const StepFailureReport& report = ReportToDebugger);

}  // namespace korvane::ui
