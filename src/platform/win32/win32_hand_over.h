#pragma once
#include <cstddef>
#include <deque>
#include <optional>
#include <stop_token>
#include <utility>

#include "platform/win32/win32_monitor.h"

namespace korvane {

// Items passed from one thread to another in their order, at most `most` waiting, under a monitor that other
// queues and states may share. Once `stop` is requested, neither side waits any more.
template <typename Item>
class HandOver {
public:
    HandOver(Monitor& monitor, std::stop_token stop, std::size_t most)
        : monitor_(monitor), stop_(std::move(stop)), most_(most)
    {
    }

    // Waits while `most` items are waiting. Returns false, dropping the item, once stopped.
    bool Put(Item item)
    {
        return monitor_.WaitThenWake(stop_, [this] { return items_.size() < most_; },
                                     [&] { items_.push_back(std::move(item)); });
    }

    // No more items come.
    void Close()
    {
        monitor_.Update([this] { closed_ = true; });
    }

    // The next item, waiting for it; nothing once closed and empty, or stopped.
    std::optional<Item> Take()
    {
        std::optional<Item> next;
        monitor_.WaitThenWake(stop_, [this] { return !items_.empty() || closed_; }, [&] {
            if (items_.empty()) return;
            next = std::move(items_.front());
            items_.pop_front();
        });
        return next;
    }

private:
    Monitor& monitor_;
    std::stop_token stop_;
    std::size_t most_;
    // Guarded by the monitor:
    std::deque<Item> items_;
    bool closed_ = false;
};

}  // namespace korvane
