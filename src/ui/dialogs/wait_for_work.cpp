#include "ui/dialogs/wait_for_work.h"

#include <atomic>
#include <exception>
#include <thread>

#include "ui/controls/message_loop.h"

namespace korvane::ui {
namespace {

// Shows the wait cursor over `owner` and gives the previous one back. The window holds the mouse meanwhile: a
// captured window gets no WM_SETCURSOR, which would put its class cursor back at the first move.
class WaitCursor {
public:
    explicit WaitCursor(HWND owner) : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))), captured_(owner != nullptr)
    {
        if (captured_) SetCapture(owner);
    }
    ~WaitCursor()
    {
        if (captured_) ReleaseCapture();
        SetCursor(previous_);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
    bool captured_;
};

bool IsEscape(const MSG& message)
{
    return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.wParam == VK_ESCAPE;
}

}  // namespace

bool WaitForWork(HWND owner, const std::function<void(std::stop_token)>& work)
{
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    bool stopped = false;
    {
        const WaitCursor cursor(owner);
        std::jthread worker([&](std::stop_token stop) {
            try {
                work(stop);
            } catch (...) {
                failure = std::current_exception();
            }
            done = true;
            PostThreadMessageW(thread, WM_NULL, 0, 0);  // wakes the loop below, which may be waiting for a message
        });
        const bool quitting = !RunMessageLoopWithoutInput([&] { return !done; }, [&](const MSG& message) {
            if (IsEscape(message)) worker.request_stop();
        });
        if (quitting) worker.request_stop();
        worker.join();
        stopped = worker.get_stop_token().stop_requested();
    }
    if (failure) std::rethrow_exception(failure);
    return !stopped;
}

}  // namespace korvane::ui
