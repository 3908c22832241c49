#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/settings/destination_list_editor.h"

namespace korvane {

inline void PrintTo(const DirEntry& item, std::ostream* os)
{
    *os << ::testing::PrintToString(item.name) << "|" << ::testing::PrintToString(item.path);
}

namespace {

struct EditCase {
    const char* name;
    std::vector<DirEntry> start;
    std::function<void(DestinationListEditor&)> edit;
    std::vector<DirEntry> items;
    std::optional<std::size_t> selected;
    std::wstring nameBox;
    std::wstring folderBox;    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

class DestinationListEditorTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(DestinationListEditorTest, EndsWithTheItemsSelectionAndBoxesAUserWouldSee)
{
    const EditCase& c = GetParam();
    DestinationListEditor editor;
    editor.Replace(c.start);
    c.edit(editor);
    EXPECT_EQ(editor.items(), c.items);
    EXPECT_EQ(editor.selected(), c.selected);
    EXPECT_EQ(editor.nameBox(), c.nameBox);
    EXPECT_EQ(editor.folderBox(), c.folderBox);
}

const std::vector<DirEntry> kAbc{{L"A", L"C:\\a"}, {L"B", L"D:\\b"}, {L"C", L"E:\\c\\"}};

INSTANTIATE_TEST_SUITE_P(
    Edits, DestinationListEditorTest,
    ::testing::Values(
        EditCase{"PendingTextsBecomeTheFirstItem", {},
                 [](auto& e) { e.SetNameBox(L"A"); e.SetFolderBox(L"C:\\写真"); e.Add(); },
                 {{L"A", L"C:\\写真"}}, 0, L"A", L"C:\\写真"},
        EditCase{"AddOnEmptyWithAnEmptyNameTakesTheDefaultName", {},
                 [](auto& e) { e.SetFolderBox(L"F:\\"); e.Add(); }, {{L"保存先1", L"F:\\"}}, 0, L"保存先1", L"F:\\"},
        EditCase{"AddAfterTwoItemsAppendsASelectedDefaultWithoutFolder", {{L"x", L"1"}, {L"y", L"2"}},
                 [](auto& e) { e.ClickItem(0); e.Add(); },
                 {{L"x", L"1"}, {L"y", L"2"}, {L"保存先3", L""}}, 2, L"保存先3", L""},
        EditCase{"TheDefaultNameCountsItemsSoItCanRepeat", {},
                 [](auto& e) { e.Add(); e.Add(); e.ClickItem(0); e.Delete(); e.Add(); },
                 {{L"保存先2", L""}, {L"保存先2", L""}}, 1, L"保存先2", L""},
        EditCase{"TypingRenamesTheSelectedItemAtEveryKeystroke", kAbc,
                 [](auto& e) { e.ClickItem(1); e.SetNameBox(L"B2"); e.SetNameBox(L""); e.SetFolderBox(L"G:\\"); },
                 {{L"A", L"C:\\a"}, {L"", L"G:\\"}, {L"C", L"E:\\c\\"}}, 1, L"", L"G:\\"},
        EditCase{"NamesMatchCaseExactlyAndKeepBlanks", kAbc,
                 [](auto& e) { e.ClickItem(0); e.SetNameBox(L"a "); },
                 {{L"a ", L"C:\\a"}, {L"B", L"D:\\b"}, {L"C", L"E:\\c\\"}}, 0, L"a ", L"C:\\a"},
        EditCase{"TypingWithoutASelectionChangesNoItem", kAbc,
                 [](auto& e) { e.SetNameBox(L"n"); e.SetFolderBox(L"f"); }, kAbc, std::nullopt, L"n", L"f"},
        EditCase{"DeletingSelectsTheLastItemAndShowsIt", kAbc, [](auto& e) { e.ClickItem(1); e.Delete(); },
                 {{L"A", L"C:\\a"}, {L"C", L"E:\\c\\"}}, 1, L"C", L"E:\\c\\"},
        EditCase{"DeletingTheFirstOfThreeSelectsTheLastNotTheNext", kAbc, [](auto& e) { e.ClickItem(0); e.Delete(); },
                 {{L"B", L"D:\\b"}, {L"C", L"E:\\c\\"}}, 1, L"C", L"E:\\c\\"},
        EditCase{"AStaleClickPastTheEndChangesNothing", kAbc,
                 [](auto& e) { e.ClickItem(1); e.ClickItem(3); e.ClickItem(7); },
                 kAbc, 1, L"B", L"D:\\b"},
        EditCase{"DeletingTheOnlyItemEmptiesBothBoxes", {{L"A", L"C:\\a"}},
                 [](auto& e) { e.ClickItem(0); e.Delete(); }, {}, std::nullopt, L"", L""},
        EditCase{"DeleteOnAnEmptyListOrWithoutSelectionDoesNothing", kAbc,
                 [](auto& e) { e.SetNameBox(L"n"); e.Delete(); }, kAbc, std::nullopt, L"n", L""},
        EditCase{"AnEmptyLabelEditIsRefusedAndAnotherGoesThroughTheNameBox", kAbc,
                 [](auto& e) {
                     e.ClickItem(2);
                     EXPECT_FALSE(e.EndLabelEdit(L""));
                     EXPECT_TRUE(e.EndLabelEdit(L"B"));
                 },
                 {{L"A", L"C:\\a"}, {L"B", L"D:\\b"}, {L"B", L"E:\\c\\"}}, 2, L"B", L"E:\\c\\"},
        EditCase{"AFreshFillKeepsTheBoxesAndSelectsNothing", kAbc,
                 [](auto& e) { e.ClickItem(0); e.Replace({{L"新", L"Z:\\"}}); },
                 {{L"新", L"Z:\\"}}, std::nullopt, L"A", L"C:\\a"},
        EditCase{"ASelectionOutsideTheListSelectsNothing", kAbc, [](auto& e) { e.Select(3); e.SetNameBox(L"x"); },
                 kAbc, std::nullopt, L"x", L""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane
