// Loads a data.ini of 32,767 destinations with LoadSettings (one read, one parse) and reads the same values
// key by key through GetPrivateProfileStringA, as a profile-API reader would, and prints the median times.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/settings/settings_loader.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_verification.h"
#include "figure_table.h"
#include "sample_settings.h"

namespace {

using namespace korvane;

constexpr int kRounds = 3;             // the profile API takes seconds: one of its runs per round
constexpr int kLoadsPerRound = 5;

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
    testing::ContentComparer comparer{fileSystem};
    testing::ContentCopier copier{fileSystem};
    testing::InlineLongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};

    wchar_t tempFolder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tempFolder);
    const std::wstring folder = std::wstring(tempFolder) + L"korvane-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\data.ini";
    const std::string bytes = codec.Encode(bench::SampleSettingsText(kDestinations));
    fileSystem.WriteFileAtomically(file, bytes);
    std::printf("data.ini: %zu destinations, %zu bytes, code page %u\n", kDestinations, bytes.size(), GetACP());

    SettingsStore store;
    std::size_t profileDestinations = 0;
    std::vector<double> loads, profileReads;
    for (int round = 0; round < kRounds; ++round) {  // alternated, so that both meet the same machine load
        for (int load = 0; load < kLoadsPerRound; ++load)
            loads.push_back(bench::TimedMilliseconds([&] { LoadSettings(store, services, file); }));
        // Quadratic (the file is searched again for every key).
        profileReads.push_back(
            bench::TimedMilliseconds([&] { profileDestinations = ReadWithProfileApi(codec.Encode(file)); }));
    }
    if (store.destinations.size() != kDestinations || !dialogs.messages.empty() ||
        profileDestinations != kDestinations) {
        std::printf("LoadSettings read %zu destinations and showed %zu messages; the profile API read %zu\n",
                    store.destinations.size(), dialogs.messages.size(), profileDestinations);
        return 1;
    }
    const double load = bench::Median(loads);
    const double profile = bench::Median(profileReads);
    bench::PrintFigure({"LoadSettings of 32,767 destinations", load, "GetPrivateProfileStringA key by key", profile,
                        "ms", bench::Both(bench::AtMost(25, "ms"), bench::AtLeastTimesFaster(300))});

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
