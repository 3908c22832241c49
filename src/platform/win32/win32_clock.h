#pragma once
#include "platform/clock.h"

namespace korvane {

class Win32Clock : public Clock {
public:
    LocalDate Today() const override;
};

}  // namespace korvane
