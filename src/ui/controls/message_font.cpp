#include "ui/controls/message_font.h"

namespace korvane::ui {

UniqueFont CreateMessageFont(unsigned dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                                static_cast<int>(GetDpiForSystem()));
    }
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace korvane::ui
