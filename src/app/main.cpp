#include <windows.h>

#include <exception>

#include "app/application.h"
#include "core/common/error_box.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        korvane::Application application;
        return application.Run();
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Korvane を起動できませんでした。", korvane::kErrorTitle, MB_OK | MB_ICONHAND);
        return 1;
    }
}
