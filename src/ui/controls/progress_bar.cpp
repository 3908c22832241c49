#include "ui/controls/progress_bar.h"

namespace korvane::ui {

ProgressBar::ProgressBar(ControlHost& parent, const ControlDesign& design)
    : Control(parent, {PROGRESS_CLASSW, 0, 0}, design)
{
    SendMessageW(handle(), PBM_SETRANGE32, 0, 1000);
}

void ProgressBar::SetPermille(int permille) { SendMessageW(handle(), PBM_SETPOS, static_cast<WPARAM>(permille), 0); }

}  // namespace korvane::ui
