#include <windows.h>

#include <exception>

#include "app/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        korvane::Application application;
        return application.Run();
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Korvane を起動できませんでした。", L"エラー", MB_OK | MB_ICONHAND);
        return 1;
    }
}
