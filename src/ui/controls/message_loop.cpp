#include "ui/controls/message_loop.h"

#include "ui/controls/dialog_navigation.h"

namespace korvane::ui {

void HandleMessage(MSG& message)
{
    if (DialogNavigation::Translate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

namespace {

// The one loop: waits for each message and gives it to `handle`.
bool Pump(const std::function<bool()>& keepGoing, const std::function<void(MSG&)>& handle)
{
    MSG message;
    while (keepGoing()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (got == -1) return false;
        handle(message);
    }
    return true;
}

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

bool RunMessageLoop(const std::function<bool()>& keepGoing, const std::function<void()>& afterEach)
{
    return Pump(keepGoing, [&](MSG& message) {
        HandleMessage(message);
        if (afterEach) afterEach();
    });
}

bool RunMessageLoopWithoutInput(const std::function<bool()>& keepGoing, const std::function<void(const MSG&)>& onInput)
{
    return Pump(keepGoing, [&](MSG& message) {
        if (IsInput(message.message)) {
            onInput(message);
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    });
}

void HandleWaitingMessages(int limit)
{
    MSG message;
    for (int handled = 0; handled < limit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled)
        HandleMessage(message);
}

}  // namespace korvane::ui
