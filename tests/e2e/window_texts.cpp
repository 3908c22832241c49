// Prints the texts of a visible top-level window and of its child windows, one a line in UTF-8, for the
// end-to-end scripts to read what a box or the progress window says (xdotool reads titles only).
//   window_texts <title>
// Ends with 1 when no visible window has that title.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void PrintText(HWND window)
{
    wchar_t text[4096]{};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    char utf8[3 * std::size(text) + 1]{};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, static_cast<int>(sizeof utf8), nullptr, nullptr);
    std::printf("%s\n", utf8);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    struct Search {
        const wchar_t* title;
        HWND found = nullptr;
    } search{argv[1]};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(parameter);
            wchar_t title[512]{};
            GetWindowTextW(window, title, 512);
            if (!IsWindowVisible(window) || std::wstring(title) != search.title) return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 1;
    PrintText(search.found);
    EnumChildWindows(
        search.found, [](HWND child, LPARAM) -> BOOL {
            PrintText(child);
            return TRUE;
        },
        0);
    return 0;
}
