#pragma once
#include <exception>
#include <functional>
#include <initializer_list>

namespace korvane::ui {

// Runs every step even when an earlier one failed, as a window does when it fills its controls. A failed step has
// nothing to tell the user: the window simply shows less, so the failure ends with the step.
inline void AttemptEach(std::initializer_list<std::function<void()>> steps)
{
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception&) {
        }
    }
}

}  // namespace korvane::ui
