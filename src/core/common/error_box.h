#pragma once
// The title every error box of the program shows, and the plain error box: a stop icon and an OK button.
#include <string>

#include "platform/dialogs.h"

namespace korvane {

inline constexpr wchar_t kErrorTitle[] = L"エラー";

inline MessageBoxSpec ErrorBox(std::wstring text)
{
    return {std::move(text), MessageIcon::Critical, MessageButtons::Ok, false, kErrorTitle};
}

// `box` with `line` added below its text; the box unchanged when `line` is empty.
inline MessageBoxSpec WithLastLine(MessageBoxSpec box, const std::wstring& line)
{
    if (!line.empty()) box.text += L"\r\n" + line;
    return box;
}

}  // namespace korvane
