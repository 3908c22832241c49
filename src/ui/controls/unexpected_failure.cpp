#include "ui/controls/unexpected_failure.h"

#include <string>

#include "core/common/error_box.h"

namespace korvane::ui {

namespace {

std::wstring Widen(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

std::wstring Details(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return Widen(e.what());
    } catch (...) {
        return L"unknown exception";
    }
}

}  // namespace

void ReportUnexpectedFailure(HWND window, std::exception_ptr failure) noexcept
{
    try {
        OutputDebugStringW((L"Korvane: unexpected failure: " + Details(failure) + L"\n").c_str());
    } catch (...) {
    }
    MessageBoxW(IsWindow(window) ? window : nullptr, L"予期しないエラーが発生しました。", kErrorTitle,
                MB_OK | MB_ICONHAND);
}

}  // namespace korvane::ui
