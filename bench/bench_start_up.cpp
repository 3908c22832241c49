// Start-up time and resident memory of the copy window, with 20 and with 32,767 destinations, against a bare
// Win32 window program, launched alternately in the same run.
//
// Start-up is measured from outside, so that the program needs no hook of its own: from the CreateProcessW call
// until a visible top-level window of the new process carries the expected title (polled every millisecond).
// Memory is the process's working set once that window shows and the process is idle (WaitForInputIdle: its
// first paint is done). The window is then closed with WM_CLOSE, as its close box would.
//
// A second reference, the copy window's controls in a bare program, shows what the controls alone cost.
//
// Usage: bench_start_up <bare_window.exe> <controls_window.exe> <korvane.exe>
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "figure_table.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text_codec.h"
#include "sample_settings.h"
#include "support/file_tree.h"

namespace {

using namespace korvane;
using namespace korvane::bench;
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;

constexpr int kRounds = 9;
constexpr DWORD kPatienceMs = 30000;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

struct Launched {
    double startMs = 0;
    double workingSetMb = 0;
};

struct WindowSearch {
    DWORD processId;
    const wchar_t* title;
    HWND found = nullptr;
};

// A visible top-level window of the process with the title, or nullptr.
HWND VisibleWindowOf(DWORD processId, const std::wstring& title)
{
    WindowSearch search{processId, title.c_str()};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& wanted = *reinterpret_cast<WindowSearch*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[64] = {};
            if (owner != wanted.processId || !IsWindowVisible(window)) return TRUE;
            GetWindowTextW(window, text, 64);
            if (std::wstring(text) != wanted.title) return TRUE;
            wanted.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Launched LaunchUntilVisible(const std::wstring& exe, const std::wstring& title)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    const auto begin = std::chrono::steady_clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started))
        throw testing::filetree::SystemError("CreateProcessW");
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);

    HWND window = nullptr;
    while ((window = VisibleWindowOf(started.dwProcessId, title)) == nullptr) {
        if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.get(), &code);
            throw std::runtime_error(Win32TextCodec(CP_UTF8).Encode(exe) + " ended with " + std::to_string(code) +
                                     " before its window showed");
        }
        if (std::chrono::steady_clock::now() - begin > std::chrono::milliseconds(kPatienceMs)) {
            TerminateProcess(process.get(), 1);
            throw std::runtime_error("no window of " + Win32TextCodec(CP_UTF8).Encode(exe) + " showed");
        }
    }
    Launched launched;
    launched.startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();

    WaitForInputIdle(process.get(), kPatienceMs);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
        throw testing::filetree::SystemError("GetProcessMemoryInfo");
    launched.workingSetMb = static_cast<double>(counters.WorkingSetSize) / kBytesPerMegabyte;

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), kPatienceMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        throw std::runtime_error("did not end after WM_CLOSE");
    }
    return launched;
}

// The program in a folder of its own, with a data.ini of `destinations` destinations beside it; the first one,
// which the copy window lists as it starts, is there.
std::wstring ProgramWithDestinations(const testing::filetree::TempFolder& scratch, const std::wstring& program,
                                     std::size_t destinations)
{
    const std::wstring folder = scratch / (L"dest" + std::to_wstring(destinations));
    testing::filetree::MakeFolder(folder);
    const std::wstring copy = folder + L"\\korvane.exe";
    if (!CopyFileW(program.c_str(), copy.c_str(), FALSE)) throw testing::filetree::SystemError("CopyFileW");
    testing::filetree::MakeFolder(folder + L"\\1");
    testing::filetree::WriteBytes(folder + L"\\data.ini",
                                  Win32TextCodec(932).Encode(SampleSettingsText(destinations, folder)));
    return copy;
}

struct Series {
    std::vector<double> startMs;
    std::vector<double> workingSetMb;
    void Add(const Launched& launched)
    {
        startMs.push_back(launched.startMs);
        workingSetMb.push_back(launched.workingSetMb);
    }
};

int Run(const std::wstring& bareWindow, const std::wstring& controlsWindow, const std::wstring& program)
{
    const testing::filetree::TempFolder scratch;
    const std::wstring few = ProgramWithDestinations(scratch, program, 20);
    const std::wstring many = ProgramWithDestinations(scratch, program, 32767);

    LaunchUntilVisible(bareWindow, L"Bare window");  // the first start of any program fills the caches
    LaunchUntilVisible(few, L"Korvane");
    Series bareBeforeFew, bareBeforeMany, withFew, withMany, controls;
    for (int round = 0; round < kRounds; ++round) {  // each program measured right after its reference
        bareBeforeFew.Add(LaunchUntilVisible(bareWindow, L"Bare window"));
        controls.Add(LaunchUntilVisible(controlsWindow, L"Controls window"));
        withFew.Add(LaunchUntilVisible(few, L"Korvane"));
        bareBeforeMany.Add(LaunchUntilVisible(bareWindow, L"Bare window"));
        withMany.Add(LaunchUntilVisible(many, L"Korvane"));
    }
    const std::string bare = "bare window";
    PrintFigure({"copy window start to visible, 20 destinations", Median(withFew.startMs), bare,
                 Median(bareBeforeFew.startMs), "ms", AtMostTimes(1.3)});
    PrintFigure({"copy window start to visible, 32,767 destinations", Median(withMany.startMs), bare,
                 Median(bareBeforeMany.startMs), "ms", AtMostTimes(2)});
    PrintFigure({"resident memory once visible, 20 destinations", Median(withFew.workingSetMb), bare,
                 Median(bareBeforeFew.workingSetMb), "MB", AtMostAbove(8, "MB")});
    PrintFigure({"resident memory once visible, 32,767 destinations", Median(withMany.workingSetMb), bare,
                 Median(bareBeforeMany.workingSetMb), "MB", AtMostAbove(16, "MB")});
    const std::string sameControls = "its controls in a bare program";
    PrintFigure({"its controls in a bare program, start to visible", Median(controls.startMs), bare,
                 Median(bareBeforeFew.startMs), "ms", ShownOnly()});
    PrintFigure({"copy window start to visible, 20 destinations", Median(withFew.startMs), sameControls,
                 Median(controls.startMs), "ms", ShownOnly()});
    PrintFigure({"its controls in a bare program, resident memory", Median(controls.workingSetMb), bare,
                 Median(bareBeforeFew.workingSetMb), "MB", ShownOnly()});
    return 0;
}

}  // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 4) {
        std::fprintf(stderr, "usage: bench_start_up <bare_window.exe> <controls_window.exe> <korvane.exe>\n");
        return 2;
    }
    const std::wstring bareWindow = arguments[1], controlsWindow = arguments[2], program = arguments[3];
    LocalFree(arguments);
    return RunBenchmark("bench_start_up", [&] { return Run(bareWindow, controlsWindow, program); });
}
