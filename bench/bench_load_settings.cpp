// Loads a data.ini of 32,767 destinations with LoadSettings (one read, one parse) and reads the same values
// key by key through GetPrivateProfileStringA, as a profile-API reader would, and prints the median times.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/settings_loader.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "support/scripted_dialogs.h"

namespace {

using namespace korvane;
using Milliseconds = std::chrono::duration<double, std::milli>;

std::wstring SettingsText(std::size_t destinations)
{
    std::wstring text = L"[SourceList]\r\nSource1=カメラ|E:\\DCIM\r\nSource2=\r\nSource3=表ポソ|F:\\表\\ポ\r\n";
    text += L"[DirList]\r\n";
    for (std::size_t n = 1; n <= destinations; ++n) {
        const std::wstring number = std::to_wstring(n);
        text += L"Dir" + number + L"=保存先" + number + L"|D:\\写真\\ソフト\\" + number + L"\\\r\n";
    }
    return text + L"[Password]\r\nPassword=pw\r\n";
}

// The median of `runs` timed calls, stopping early once `budget` is spent (after at least one run).
double MedianMilliseconds(int runs, Milliseconds budget, const std::function<void()>& action, int& done)
{
    std::vector<double> times;
    const auto start = std::chrono::steady_clock::now();
    while (static_cast<int>(times.size()) < runs) {
        const auto before = std::chrono::steady_clock::now();
        action();
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - before).count());
        if (std::chrono::steady_clock::now() - start > budget) break;
    }
    done = static_cast<int>(times.size());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The profile API's reading of the same values, with the 255-byte buffer a profile-API reader uses.
std::size_t ReadWithProfileApi(const std::string& file)
{
    char buffer[255];
    const auto read = [&](const std::string& section, const std::string& key) {
        return GetPrivateProfileStringA(section.c_str(), key.c_str(), nullptr, buffer, sizeof buffer, file.c_str());
    };
    for (int slot = 1; slot <= 3; ++slot) read("SourceList", "Source" + std::to_string(slot));
    std::size_t destinations = 0;
    while (destinations < SettingsStore::kMaxDestinations &&
           read("DirList", "Dir" + std::to_string(destinations + 1)) != 0)
        ++destinations;
    read("Password", "Password");
    return destinations;
}

}  // namespace

int main()
{
    constexpr std::size_t kDestinations = SettingsStore::kMaxDestinations;
    Win32FileSystem fileSystem;
    Win32TextCodec codec(GetACP());
    testing::ScriptedDialogs dialogs;
    Win32Shell shell;
    Win32Clock clock;
    Services services{fileSystem, codec, dialogs, shell, clock};

    wchar_t tempFolder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tempFolder);
    const std::wstring folder = std::wstring(tempFolder) + L"korvane-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\data.ini";
    const std::string bytes = codec.Encode(SettingsText(kDestinations));
    fileSystem.WriteFileAtomically(file, bytes);
    std::printf("data.ini: %zu destinations, %zu bytes, code page %u\n", kDestinations, bytes.size(), GetACP());

    SettingsStore store;
    int loadRuns = 0;
    const double load = MedianMilliseconds(15, std::chrono::seconds(30), [&] { LoadSettings(store, services, file); },
                                           loadRuns);
    if (store.destinations.size() != kDestinations || !dialogs.messages.empty()) {
        std::printf("LoadSettings read %zu destinations and showed %zu messages\n", store.destinations.size(),
                    dialogs.messages.size());
        return 1;
    }
    std::printf("LoadSettings:                         median %10.1f ms of %d runs\n", load, loadRuns);

    // Quadratic (the file is searched again for every key): a few runs, at most about two minutes.
    std::size_t profileDestinations = 0;
    int profileRuns = 0;
    const double profile = MedianMilliseconds(
        3, std::chrono::seconds(120), [&] { profileDestinations = ReadWithProfileApi(codec.Encode(file)); },
        profileRuns);
    std::printf("GetPrivateProfileStringA key by key:  median %10.1f ms of %d runs (%zu destinations read)\n",
                profile, profileRuns, profileDestinations);
    std::printf("ratio (profile API / LoadSettings):   %10.1f\n", profile / load);

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
