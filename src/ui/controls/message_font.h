#pragma once
#include "ui/controls/handles.h"

namespace korvane::ui {

// The system's message font, as large as it is drawn at `dpi`.
UniqueFont CreateMessageFont(unsigned dpi);

}  // namespace korvane::ui
