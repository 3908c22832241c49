// The settings window's destination list operations on a list of 32,767 items against the same operations on a
// list of 10 items, driven through the window's own controls as a user would (a click on an item, a character
// typed into either box, the add and delete buttons), alternately in one run. Each is timed from the input
// until the window has handled it and everything it set off. Runs on a display.
#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "figure_table.h"
#include "sample_settings.h"
#include "ui/program_test_support.h"

namespace {

using namespace korvane;
using namespace korvane::bench;

constexpr int kRounds = 15;
constexpr std::size_t kShortList = 10;
constexpr std::size_t kLongList = SettingsStore::kMaxDestinations;
constexpr int kItemHeight = 80;  // pixels of one large-icon item and its label, with a margin

void Check(bool condition, const char* what)
{
    if (!condition) throw std::runtime_error(what);
}

// One settings window over a list of `count` destinations, and the times of each operation on it.
class TimedList {
public:
    // `left`: where the window stands on the screen, so that the two lists never cover each other.
    TimedList(std::size_t count, int left)
    {
        testing::filetree::MakeFolder(program_.programFolder / L"1");  // listed by the copy window as it starts
        program_.WriteSettings(SampleSettingsTextWithoutPassword(count, program_.programFolder.path()));
        window_ = &program_.OpenSettingsWindow();
        Check(window_->destinations().items().size() == count, "the settings window lacks destinations");
        SetWindowPos(window_->handle(), HWND_TOP, left, 0, 0, 0, SWP_NOSIZE);
        // The list is lower than one item at 96 dpi, and the list view scrolls a partly shown item fully into view
        // under the pressed mouse: the release would then miss the item. A list two items high keeps it there.
        const RECT list = testing::ClientRectOf(window_->lstDir.handle());
        SetWindowPos(window_->lstDir.handle(), nullptr, 0, 0, list.right - list.left, 2 * kItemHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
        testing::PumpMessages();
    }

    // One round of every operation, each timed. The items clicked are never the selected one, whose label a
    // click would start to edit.
    void Round(int round)
    {
        const std::size_t count = Items().size();
        ClickItem(count - (round % 2 ? 2 : 3));
        TypeCharacter("keystroke in the name box", window_->txtListName);
        TypeCharacter("keystroke in the folder box", window_->txtListDir);
        Time("add", [&] { testing::Click(window_->cmdAdd); });
        Check(Items().size() == count + 1, "add added no item");
        Time("delete", [&] { testing::Click(window_->cmdDelete); });
        Check(Items().size() == count, "delete deleted no item");
    }

    const std::map<std::string, std::vector<double>>& times() const { return times_; }

private:
    const std::vector<DirEntry>& Items() const { return window_->destinations().items(); }

    void Time(const std::string& operation, const std::function<void()>& action)
    {
        times_[operation].push_back(TimedMilliseconds(action));
    }

    // A real click in the middle of the item's label, timed until the boxes show the item.
    void ClickItem(std::size_t index)
    {
        HWND list = window_->lstDir.handle();
        // As a user works in the window: it is the active one, and the item is scrolled into view.
        SetForegroundWindow(window_->handle());
        ListView_EnsureVisible(list, static_cast<int>(index), FALSE);
        testing::PumpMessagesUntilQuiet();
        const RECT label = testing::LabelRect(window_->lstDir, index);
        POINT centre{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
        ClientToScreen(list, &centre);
        const auto shown = [&] {
            return window_->destinations().selected() == index &&
                   window_->destinations().nameBox() == Items()[index].name;
        };
        Time("item click", [&] {
            SendMouseClick(centre);
            for (const auto start = GetTickCount(); !shown() && GetTickCount() - start < 5000;)
                testing::PumpMessages();
        });
        Check(shown(), "the click did not show the item in the boxes");
        testing::PumpMessagesUntilQuiet();
    }

    static void SendMouseClick(POINT screen)
    {
        INPUT inputs[3] = {};
        const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
        for (int i = 0; i < 3; ++i) {
            inputs[i].type = INPUT_MOUSE;
            inputs[i].mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
            inputs[i].mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
            inputs[i].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | flags[i];
        }
        SendInput(3, inputs, sizeof(INPUT));
    }

    // A character typed into the box, then taken back with Backspace: two keystrokes, each timed.
    void TypeCharacter(const std::string& operation, const ui::TextBox& box)
    {
        const std::wstring before = box.Text();
        SendMessageW(box.handle(), EM_SETSEL, before.size(), before.size());  // the caret at the end, as after typing
        Time(operation, [&] { testing::TypeInto(box.handle(), L"x"); });
        Check(box.Text() == before + L"x", "the typed character did not arrive");
        Time(operation, [&] { testing::TypeInto(box.handle(), std::wstring(1, VK_BACK)); });
        Check(box.Text() == before, "Backspace did not take the character back");
    }

    testing::ProgramHarness program_;
    ui::frmSetup* window_ = nullptr;
    std::map<std::string, std::vector<double>> times_;
};

int Run()
{
    TimedList shortList(kShortList, 0);
    TimedList longList(kLongList, 640);
    for (int round = 0; round < kRounds; ++round) {
        shortList.Round(round);
        longList.Round(round);
    }
    for (const auto& [operation, longTimes] : longList.times()) {
        PrintFigure({"destination list " + operation + ", 32,767 items", Median(longTimes), "10 items",
                     Median(shortList.times().at(operation)), "ms", Both(AtMost(16, "ms"), AtMostTimes(1.5))});
    }
    return 0;
}

}  // namespace

int main() { return RunBenchmark("bench_destination_list", Run); }
