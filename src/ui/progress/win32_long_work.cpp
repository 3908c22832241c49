#include "ui/progress/win32_long_work.h"

#include <exception>
#include <thread>

namespace korvane::ui {

void Win32LongWork::Run(WindowHandle owner, const LongWorkSpec& design,
                        const std::function<void(WorkProgress&, std::stop_token)>& work)
{
    ProgressMailbox mailbox;
    frmProgress window(design, mailbox, static_cast<HWND>(owner));
    std::exception_ptr thrown;
    std::jthread worker([&](std::stop_token stop) {
        try {
            work(mailbox, stop);
        } catch (...) {
            thrown = std::current_exception();
        }
        window.PostFinished();
    });
    window.onCancel = [&worker] { worker.request_stop(); };
    if (onShown) onShown(window);
    window.ShowModal();
    // The window may have closed without the work (the program was told to quit): the work is stopped.
    worker.request_stop();
    worker.join();
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace korvane::ui
