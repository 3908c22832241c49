#pragma once
#include "ui/controls/control.h"

namespace korvane::ui {

// A bar that fills from 0 to 1,000 (per mille), as the shell's copy shows its progress.
class ProgressBar : public Control {
public:
    ProgressBar(ControlHost& parent, const ControlDesign& design);
    void SetPermille(int permille);
};

}  // namespace korvane::ui
