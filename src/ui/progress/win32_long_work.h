#pragma once
#include <functional>

#include "platform/long_work.h"
#include "ui/progress/frm_progress.h"

namespace korvane::ui {

// Long work on a std::jthread behind a frmProgress owned by the given window, which is disabled meanwhile; the
// thread's own messages keep being handled. Cancel requests the thread's stop.
class Win32LongWork : public LongWork {
public:
    void Run(WindowHandle owner, const LongWorkSpec& design,
             const std::function<void(WorkProgress&, std::stop_token)>& work) override;

    // Runs once the progress window shows (tests and benchmarks watch it through this).
    std::function<void(frmProgress&)> onShown;
};

}  // namespace korvane::ui
