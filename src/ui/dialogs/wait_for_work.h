#pragma once
#include <windows.h>

#include <functional>
#include <stop_token>

namespace korvane::ui {

// Runs `work` on a worker thread while this thread goes on handling messages, so that the windows keep painting:
// `owner` (when given) holds the mouse with the wait cursor, keyboard and mouse input is dropped, and Esc asks the
// work to stop. Returns once the work has returned: false when it was asked to stop (Esc, or the program ending),
// true otherwise. What the work throws is thrown again here.
bool WaitForWork(HWND owner, const std::function<void(std::stop_token)>& work);

}  // namespace korvane::ui
