#pragma once
// A Clock for tests that always answers the date it was given.
#include "platform/clock.h"

namespace korvane::testing {

class FixedClock : public Clock {
public:
    explicit FixedClock(LocalDate today) : today_(today) {}
    void Set(LocalDate today) { today_ = today; }
    LocalDate Today() const override { return today_; }

private:
    LocalDate today_;
};

}  // namespace korvane::testing
