#pragma once
// Keeps a shell operation under test unattended: while it lives, it answers every dialog box that this
// process shows, by pressing a chosen button or the box's default one, and counts the boxes.
#include <windows.h>

#include <atomic>
#include <optional>
#include <stop_token>
#include <thread>

namespace korvane::testing {

class QuestionBoxAnswerer {
public:
    explicit QuestionBoxAnswerer(std::optional<int> button = std::nullopt)
        : button_(button), thread_([this](std::stop_token stop) { Watch(stop); })
    {
    }

    int answeredBoxes() const { return answered_; }

private:
    void Watch(std::stop_token stop)
    {
        while (!stop.stop_requested()) {
            EnumWindows(AnswerIfQuestionBox, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }

    static BOOL CALLBACK AnswerIfQuestionBox(HWND window, LPARAM self)
    {
        static_cast<QuestionBoxAnswerer*>(reinterpret_cast<void*>(self))->AnswerIfQuestionBox(window);
        return TRUE;
    }

    void AnswerIfQuestionBox(HWND window)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16]{};
        GetClassNameW(window, className, 16);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpW(className, L"#32770") != 0)
            return;
        if (window == lastAnswered_) return;  // still closing after the answer we posted
        lastAnswered_ = window;
        ++answered_;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(ButtonFor(window), BN_CLICKED), 0);
    }

    int ButtonFor(HWND box) const
    {
        if (button_) return *button_;
        const LRESULT defaultId = SendMessageW(box, DM_GETDEFID, 0, 0);
        return HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    }

    std::optional<int> button_;
    HWND lastAnswered_ = nullptr;  // touched by the watching thread only
    std::atomic<int> answered_{0};
    std::jthread thread_;  // last: it starts after, and is joined before, the members it uses
};

}  // namespace korvane::testing
