#pragma once
#include <windows.h>

namespace korvane::ui {

// Layouts are designed in twips (1/1440 inch; 15 twips are one pixel at 96 dpi) and drawn at the window's dpi.
inline constexpr int kTwipsPerInch = 1440;

// A position and size in twips within a window's client area.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A width and height in twips.
struct TwipsSize {
    int width = 0;
    int height = 0;
};

// `place`, given relative to a container (a frame) at `container`, in window coordinates.
constexpr TwipsRect Inside(const TwipsRect& container, const TwipsRect& place)
{
    return {container.left + place.left, container.top + place.top, place.width, place.height};
}

// `units` of which `from` make an inch, as units of which `to` make one, rounded to the nearest as MulDiv does,
// so that designs look alike at every scale.
constexpr int ScaleRounded(int units, int from, int to)
{
    const long long scaled = static_cast<long long>(units) * to;
    return static_cast<int>((scaled + (scaled >= 0 ? from / 2 : -from / 2)) / from);
}

constexpr int TwipsToPixels(int twips, unsigned dpi)
{
    return ScaleRounded(twips, kTwipsPerInch, static_cast<int>(dpi));
}
constexpr int PixelsToTwips(int pixels, unsigned dpi)
{
    return ScaleRounded(pixels, static_cast<int>(dpi), kTwipsPerInch);
}
// A size in pixels at 96 dpi, drawn at `dpi`.
constexpr int ScalePixels(int pixelsAt96, unsigned dpi)
{
    return ScaleRounded(pixelsAt96, USER_DEFAULT_SCREEN_DPI, static_cast<int>(dpi));
}

// Edges rather than sizes are scaled, so that controls that touch in the design still touch.
constexpr RECT TwipsToPixels(const TwipsRect& place, unsigned dpi)
{
    return {TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi), TwipsToPixels(place.left + place.width, dpi),
            TwipsToPixels(place.top + place.height, dpi)};
}

}  // namespace korvane::ui
