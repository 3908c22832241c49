#pragma once

namespace korvane::ui {

// Layouts are designed in twips (1/1440 inch; 15 twips are one pixel at 96 dpi) and drawn at the window's dpi.
constexpr int TwipsToPixels(int twips, unsigned dpi)
{
    // Rounded to the nearest pixel, as MulDiv does, so that designs look alike at every scale.
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>((scaled + (scaled >= 0 ? 720 : -720)) / 1440);
}

}  // namespace korvane::ui
