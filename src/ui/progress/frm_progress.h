#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/long_work.h"
#include "ui/controls/buttons.h"
#include "ui/controls/progress_bar.h"
#include "ui/controls/static_controls.h"
#include "ui/controls/window.h"

namespace korvane::ui {

// Where a worker leaves its latest progress for the window: the worker writes, the window reads when it
// repaints, so that a report costs the worker a lock and nothing more.
class ProgressMailbox : public WorkProgress {
public:
    struct Latest {
        std::wstring item;
        std::uint64_t done = 0;
    };
    void Report(const std::wstring& item, std::uint64_t done) override;
    Latest Read() const;

private:
    mutable std::mutex mutex_;
    Latest latest_;
};

// The progress window of a long work: what is being done, the item, a bar, the amount done of the total, the
// speed and the time left, and Cancel. It shows the mailbox's latest report several times a second. Cancel, Esc
// and the close box only ask the work to stop (onCancel); the window closes when it is told that the work ended.
class frmProgress : public Window {
public:
    frmProgress(const LongWorkSpec& design, const ProgressMailbox& mailbox, HWND owner);

    // Posted by any thread once the work has ended: the window closes.
    void PostFinished() const;

    std::function<void()> onCancel;

    Label lblCaption;
    Label lblItem;
    ProgressBar prgDone;
    Label lblAmount;
    Label lblTimeLeft;
    Button cmdCancel;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Refresh();
    void Cancel();

    std::uint64_t total_;
    const ProgressMailbox& mailbox_;
    HWND finishedTarget_;  // the window's handle, which the worker may read while the window closes
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace korvane::ui
