#pragma once

namespace korvane {

struct LocalDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDate Today() const = 0;  // throws nothing
};

}  // namespace korvane
