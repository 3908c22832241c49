// Editing the settings window's destination list with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "program_test_support.h"

namespace korvane::ui {
namespace {

using testing::ClearBox;
using testing::Click;
using testing::LabelEditor;
using testing::LabelRect;
using testing::PressAccessKey;
using testing::PressKey;
using testing::PressKeyWith;
using testing::ProgramHarness;
using testing::PumpMessages;
using testing::ShownLabel;
using testing::TypeInto;

using Step = std::function<void(frmSetup&)>;

Step ClickItem(std::size_t index)
{
    return [index](frmSetup& w) { testing::ClickItem(w.lstDir, index); };
}
Step TypeName(std::wstring text)
{
    return [text](frmSetup& w) { TypeInto(w.txtListName.handle(), text); };
}
Step TypeFolder(std::wstring text)
{
    return [text](frmSetup& w) { TypeInto(w.txtListDir.handle(), text); };
}
Step ClearName() { return [](frmSetup& w) { ClearBox(w.txtListName.handle()); }; }
Step AltA() { return [](frmSetup&) { PressAccessKey(L'a'); }; }
Step AddButton() { return [](frmSetup& w) { Click(w.cmdAdd); }; }
Step DeleteButton() { return [](frmSetup& w) { Click(w.cmdDelete); }; }
// F2 in the list starts the edit of the selected item's label; the new label is typed over the old one.
Step EditLabel(std::wstring label)
{
    return [label](frmSetup& w) {
        SetFocus(w.lstDir.handle());
        PressKey(VK_F2);
        const HWND editor = LabelEditor(w.lstDir);
        ASSERT_NE(editor, nullptr) << "the label edit did not start";
        ClearBox(editor);
        TypeInto(editor, label);
        SetFocus(editor);
        PressKey(VK_RETURN);
    };
}

struct Expected {
    std::vector<std::wstring> labels;  // as the list shows them
    std::vector<std::wstring> folders;
    std::optional<std::size_t> selected;
    std::wstring nameBox;
    std::wstring folderBox;
};

struct ListCase {
    const char* name;
    std::vector<DirEntry> start;
    std::vector<Step> steps;
    Expected expected;    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

class DestinationListTest : public ::testing::TestWithParam<ListCase>, protected ProgramHarness {};

TEST_P(DestinationListTest, TheListAndItsBoxesShowTheEditAsItHappened)
{
    const ListCase& c = GetParam();
    settings.destinations = c.start;
    windows.OpenSettingsWindow();
    frmSetup& w = *windows.settingsWindow();
    PumpMessages();
    for (const Step& step : c.steps) step(w);

    std::vector<std::wstring> labels;
    std::vector<std::wstring> folders;
    for (std::size_t i = 0; i < w.lstDir.ItemCount(); ++i) {
        labels.push_back(ShownLabel(w.lstDir, i));
        folders.push_back(w.destinations().items().at(i).path);
    }
    EXPECT_EQ(labels, c.expected.labels);
    EXPECT_EQ(folders, c.expected.folders);
    EXPECT_EQ(w.lstDir.SelectedIndex(), c.expected.selected);
    EXPECT_EQ(w.txtListName.Text(), c.expected.nameBox);
    EXPECT_EQ(w.txtListDir.Text(), c.expected.folderBox);
    EXPECT_TRUE(dialogs.messages.empty()) << "no edit of the list asks or tells anything";
}

const std::vector<DirEntry> kAbc{{L"A", L"C:\\a"}, {L"B", L"D:\\b"}, {L"C", L"E:\\c"}};

INSTANTIATE_TEST_SUITE_P(
    Edits, DestinationListTest,
    ::testing::Values(
        ListCase{"PendingTextsThenAdd", {}, {TypeName(L"写真"), TypeFolder(L"C:\\写真"), AltA()},
                 {{L"写真"}, {L"C:\\写真"}, 0, L"写真", L"C:\\写真"}},
        ListCase{"TypingIntoAnEmptyListChangesNoItem", {}, {TypeName(L"名前"), TypeFolder(L"F:\\")},
                 {{}, {}, std::nullopt, L"名前", L"F:\\"}},
        ListCase{"AddOnEmptyWithAnEmptyName", {}, {AddButton()}, {{L"保存先1"}, {L""}, 0, L"保存先1", L""}},
        ListCase{"AddWithTwoItems", {{L"x", L"X:\\"}, {L"y", L"Y:\\"}}, {ClickItem(0), AltA()},
                 {{L"x", L"y", L"保存先3"}, {L"X:\\", L"Y:\\", L""}, 2, L"保存先3", L""}},
        ListCase{"DeleteTheFirstThenAddRepeatsTheName", {},
                 {AddButton(), AddButton(), ClickItem(0), DeleteButton(), AddButton()},
                 {{L"保存先2", L"保存先2"}, {L"", L""}, 1, L"保存先2", L""}},
        ListCase{"TypingRenamesAtEveryKeystroke", kAbc, {ClickItem(1), ClearName(), TypeName(L"新"), TypeFolder(L"\\x")},
                 {{L"A", L"新", L"C"}, {L"C:\\a", L"D:\\b\\x", L"E:\\c"}, 1, L"新", L"D:\\b\\x"}},
        ListCase{"ClearingTheNameLeavesAnEmptyLabel", kAbc, {ClickItem(0), ClearName()},
                 {{L"", L"B", L"C"}, {L"C:\\a", L"D:\\b", L"E:\\c"}, 0, L"", L"C:\\a"}},
        ListCase{"ALabelEditToEmptyIsRefused", kAbc, {ClickItem(2), EditLabel(L"")},
                 {{L"A", L"B", L"C"}, {L"C:\\a", L"D:\\b", L"E:\\c"}, 2, L"C", L"E:\\c"}},
        ListCase{"ALabelEditGoesThroughTheNameBox", kAbc, {ClickItem(2), EditLabel(L"B")},
                 {{L"A", L"B", L"B"}, {L"C:\\a", L"D:\\b", L"E:\\c"}, 2, L"B", L"E:\\c"}},
        ListCase{"DeletingTheMiddleSelectsTheLast", kAbc, {ClickItem(1), DeleteButton()},
                 {{L"A", L"C"}, {L"C:\\a", L"E:\\c"}, 1, L"C", L"E:\\c"}},
        ListCase{"DeletingTheOnlyItemEmptiesTheBoxes", {{L"A", L"C:\\a"}}, {ClickItem(0), DeleteButton()},
                 {{}, {}, std::nullopt, L"", L""}},
        ListCase{"DeleteOnAnEmptyListDoesNothing", {}, {TypeName(L"n"), DeleteButton()},
                 {{}, {}, std::nullopt, L"n", L""}}),
    [](const auto& info) { return std::string(info.param.name); });

class DestinationListKeysTest : public ::testing::Test, protected ProgramHarness {
protected:
    frmSetup& OpenWith(std::vector<DirEntry> destinations)
    {
        settings.destinations = std::move(destinations);
        windows.OpenSettingsWindow();
        PumpMessages();
        return *windows.settingsWindow();
    }
};

TEST_F(DestinationListKeysTest, TheDeleteKeyDeletesWithAnyModifierHeld)
{
    struct Modifiers {
        bool shift, control, alt;
    };
    for (const Modifiers m : {Modifiers{false, false, false}, Modifiers{true, false, false},
                              Modifiers{false, true, false}, Modifiers{false, false, true}}) {
        SCOPED_TRACE(::testing::Message() << "shift " << m.shift << " ctrl " << m.control << " alt " << m.alt);
        frmSetup& w = OpenWith(kAbc);
        testing::ClickItem(w.lstDir, 0);
        PressKeyWith(VK_DELETE, m.shift, m.control, m.alt);
        EXPECT_EQ(w.lstDir.ItemCount(), 2u);
        EXPECT_EQ(ShownLabel(w.lstDir, 0), L"B");
        EXPECT_EQ(w.txtListName.Text(), L"C");
        w.Close();
        PumpMessages();
    }
}

TEST_F(DestinationListKeysTest, AClickOnAnItemThatTheListScrollsIntoViewFillsTheBoxes)
{
    // The list is lower than an item: a click on the visible top of a label makes the list scroll the whole item
    // into view while the button is down.
    frmSetup& w = OpenWith(kAbc);
    RECT client;
    GetClientRect(w.lstDir.handle(), &client);
    const RECT label = LabelRect(w.lstDir, 1);
    POINT point{(label.left + label.right) / 2, std::min(label.top + 2, client.bottom - 2)};
    ClientToScreen(w.lstDir.handle(), &point);
    testing::MouseClickAt(point);
    EXPECT_EQ(w.lstDir.SelectedIndex(), std::optional<std::size_t>(1));
    EXPECT_EQ(w.txtListName.Text(), L"B");
    EXPECT_EQ(w.txtListDir.Text(), L"D:\\b");
}

TEST_F(DestinationListKeysTest, ItemsAddedOneByOneStandEachInItsOwnPlace)
{
    frmSetup& w = OpenWith({});
    for (const wchar_t* name : {L"写真", L"バックアップ", L"仕事"}) {
        PressAccessKey(L'a');
        ClearBox(w.txtListName.handle());
        TypeInto(w.txtListName.handle(), name);
    }
    std::vector<std::pair<LONG, LONG>> places;
    for (int i = 0; i < 3; ++i) {
        POINT place{};
        ListView_GetItemPosition(w.lstDir.handle(), i, &place);
        places.emplace_back(place.x, place.y);
    }
    EXPECT_NE(places[0], places[1]);
    EXPECT_NE(places[1], places[2]);
    EXPECT_NE(places[0], places[2]);
}

TEST_F(DestinationListKeysTest, TheFolderButtonReplacesTheFolderOnlyWhenOneIsChosen)
{
    frmSetup& w = OpenWith(kAbc);
    testing::ClickItem(w.lstDir, 0);
    dialogs.AnswerPickFolder({});
    Click(w.cmdDir);
    EXPECT_EQ(w.txtListDir.Text(), L"C:\\a");
    EXPECT_EQ(w.destinations().items()[0].path, L"C:\\a");
    dialogs.AnswerPickFolder({L"D:\\写真\\2026", std::nullopt});
    Click(w.cmdDir);
    EXPECT_EQ(w.txtListDir.Text(), L"D:\\写真\\2026");
    EXPECT_EQ(w.destinations().items()[0].path, L"D:\\写真\\2026");
    ASSERT_EQ(dialogs.folderPicks.size(), 2u);
    EXPECT_EQ(dialogs.folderPicks[1].initialFolder, L"C:\\a");
    EXPECT_EQ(dialogs.folderPicks[1].owner, w.handle());
}

}  // namespace
}  // namespace korvane::ui
