#pragma once
#include <windows.h>

#include <functional>

namespace korvane::ui {

// Handles one message as every loop of the program does: the keyboard navigation of the program's windows
// first (Tab, arrow keys, access keys, Enter, Esc), then the window the message is for.
void HandleMessage(MSG& message);

// Waits for messages and handles them while `keepGoing()` holds, running `afterEach` after each one. Returns
// false when the program was told to quit (WM_QUIT), which is posted again for any loop around this one.
bool RunMessageLoop(const std::function<bool()>& keepGoing, const std::function<void()>& afterEach = {});

// The loop of a window that is busy: as RunMessageLoop, but each keyboard and mouse message goes to `onInput`
// instead of to a window, so that the user can neither type nor click into the program meanwhile.
bool RunMessageLoopWithoutInput(const std::function<bool()>& keepGoing, const std::function<void(const MSG&)>& onInput);

// Handles the messages already waiting for this thread, at most `limit`, so that a window that keeps posting
// cannot hold the caller.
void HandleWaitingMessages(int limit = 10000);

}  // namespace korvane::ui
