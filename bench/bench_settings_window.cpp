// How long the settings window takes to open over 32,767 destinations, against the copy window's own start
// (the settings file read and the window filled) with the same data.ini, alternately in one run. Each is timed
// from the call that opens it until its first messages, the first paint included, are handled. Runs on a display.
#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "figure_table.h"
#include "sample_settings.h"
#include "ui/program_test_support.h"

namespace {

using namespace korvane;
using namespace korvane::bench;

constexpr std::size_t kDestinations = SettingsStore::kMaxDestinations;
constexpr int kRounds = 9;

int Run()
{
    testing::ProgramHarness program;
    testing::filetree::MakeFolder(program.programFolder / L"1");  // listed by the copy window as it starts
    program.WriteSettings(SampleSettingsTextWithoutPassword(kDestinations, program.programFolder.path()));
    std::vector<double> copyWindowStarts, settingsWindowOpens;
    for (int round = 0; round < kRounds; ++round) {
        copyWindowStarts.push_back(TimedMilliseconds([&] {
            program.windows.ShowCopyWindow();
            testing::PumpMessages();
        }));
        // The settings button's own path: the copy window closes and the settings window opens.
        settingsWindowOpens.push_back(TimedMilliseconds([&] {
            program.windows.OpenSettingsWindow();
            testing::PumpMessages();
        }));
        const ui::frmSetup* settings = program.windows.settingsWindow();
        if (settings == nullptr || settings->lstDir.ItemCount() != kDestinations ||
            program.windows.copyWindow() != nullptr)
            throw std::runtime_error("the settings window did not open with every destination");
        program.windows.settingsWindow()->Close();
        testing::PumpMessages();
    }
    PrintFigure({"settings window open, 32,767 destinations", Median(settingsWindowOpens),
                 "copy window start, same file", Median(copyWindowStarts), "ms", AtMostTimes(2)});
    return 0;
}

}  // namespace

int main() { return RunBenchmark("bench_settings_window", Run); }
