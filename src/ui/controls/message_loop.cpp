#include "ui/controls/message_loop.h"

#include "ui/controls/dialog_navigation.h"

namespace korvane::ui {

void HandleMessage(MSG& message)
{
    if (DialogNavigation::Translate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool RunMessageLoop(const std::function<bool()>& keepGoing, const std::function<void()>& afterEach)
{
    MSG message;
    while (keepGoing()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (got == -1) return false;
        HandleMessage(message);
        if (afterEach) afterEach();
    }
    return true;
}

void HandleWaitingMessages(int limit)
{
    MSG message;
    for (int handled = 0; handled < limit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled)
        HandleMessage(message);
}

}  // namespace korvane::ui
