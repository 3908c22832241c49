#pragma once
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "platform/window_handle.h"

namespace korvane {

// Told, on the worker thread, how far a long work has come.
class WorkProgress {
public:
    virtual ~WorkProgress() = default;
    // The work is at `item` and has done `done` of its total; cheap enough to call for every block read.
    virtual void Report(const std::wstring& item, std::uint64_t done) = 0;
};

// What the progress window of a long work shows besides its figures.
struct LongWorkSpec {
    std::wstring title;
    std::wstring caption;     // what is being done, above the item
    std::uint64_t total = 0;  // in bytes
};

// Work that can take minutes (reading a whole card back) runs here.
class LongWork {
public:
    virtual ~LongWork() = default;
    // Runs `work` on a worker thread while a progress window owned by `owner` shows the item, the bytes done of
    // the total, the speed and the time left, and a Cancel button that requests the work's stop. The owner is
    // disabled and the messages of the thread keep being handled meanwhile. Returns once `work` has returned;
    // rethrows what it threw.
    virtual void Run(WindowHandle owner, const LongWorkSpec& design,
                     const std::function<void(WorkProgress&, std::stop_token)>& work) = 0;
};

}  // namespace korvane
