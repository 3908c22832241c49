// The progress window of long work: the work runs on its own thread while the window shows its latest report,
// the owner stays disabled, and Cancel stops the work at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "ui/progress/win32_long_work.h"
#include "window_test_support.h"

namespace korvane {
namespace {

using Clock = std::chrono::steady_clock;

std::wstring TextOf(const ui::Control& control)
{
    wchar_t text[256]{};
    GetWindowTextW(control.handle(), text, 256);  // from another thread too: the window's thread answers it
    return text;
}

// An owner window, and a watcher thread that acts on the progress window while Run's loop handles messages.
class ProgressWindowTest : public ::testing::Test {
protected:
    ProgressWindowTest()
    {
        work.onShown = [this](ui::frmProgress& window) {
            watcher = std::jthread([this, &window] { watch(window); });
        };
    }

    // Waits (at most two seconds) until `condition` holds.
    static bool Eventually(const std::function<bool()>& condition)
    {
        for (const auto end = Clock::now() + std::chrono::seconds(2); Clock::now() < end; Sleep(10))
            if (condition()) return true;
        return condition();
    }

    ui::UniqueWindow owner{CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                           nullptr, nullptr, nullptr)};
    ui::Win32LongWork work;
    std::function<void(ui::frmProgress&)> watch;
    std::jthread watcher;
};

TEST_F(ProgressWindowTest, ShowsTheLatestReportWhileTheOwnerIsDisabledAndCancelStopsTheWorkAtOnce)
{
    std::atomic<bool> ownerDisabled = false;
    std::wstring item, amount, cancelling;
    Clock::time_point clicked;
    ui::frmProgress* shown = nullptr;
    watch = [&](ui::frmProgress& window) {
        shown = &window;
        EXPECT_TRUE(Eventually([&] { return TextOf(window.lblItem) == L"DCIM\\IMG_0001.JPG"; }));
        amount = TextOf(window.lblAmount);
        ownerDisabled = !IsWindowEnabled(owner.get());
        clicked = Clock::now();
        SendMessageW(window.cmdCancel.handle(), BM_CLICK, 0, 0);
    };
    DWORD workThread = 0;
    work.Run(owner.get(), {L"照合", L"照合しています：", 100 << 20}, [&](WorkProgress& progress, std::stop_token stop) {
        workThread = GetCurrentThreadId();
        progress.Report(L"DCIM\\IMG_0001.JPG", 25 << 20);
        while (!stop.stop_requested()) Sleep(1);
        cancelling = TextOf(shown->lblTimeLeft);  // the window stays until the work has ended
    });
    const auto returned = Clock::now();
    watcher.join();

    EXPECT_NE(workThread, GetCurrentThreadId());
    EXPECT_EQ(amount, L"25.0 MB / 100 MB");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(cancelling, L"取り消しています...");
    EXPECT_LT(returned - clicked, std::chrono::milliseconds(200));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(ProgressWindowTest, WorkThatEndsClosesTheWindowAndWhatItThrowsReachesTheCaller)
{
    HWND shown = nullptr;
    watch = [&](ui::frmProgress& window) { shown = window.handle(); };
    EXPECT_THROW(work.Run(owner.get(), {L"照合", L"", 1},
                          [](WorkProgress&, std::stop_token) { throw std::runtime_error("read failed"); }),
                 std::runtime_error);
    watcher.join();
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

}  // namespace
}  // namespace korvane
