#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/copy/frm_copy.h"
#include "window_test_support.h"

namespace korvane::ui {
namespace {

using testing::Children;
using testing::ClickNode;
using testing::CopyWindowHarness;
using testing::filetree::MakeFolder;
using testing::IsExpanded;
using testing::SelectedNode;

std::vector<std::wstring> TextsOf(const TreeView& tree, const std::vector<TreeNode>& nodes)
{
    std::vector<std::wstring> texts;
    for (TreeNode node : nodes) texts.push_back(tree.NodeText(node));
    return texts;
}

std::vector<std::wstring> RootTexts(const TreeView& tree) { return TextsOf(tree, Children(tree, nullptr)); }

TreeNode NodeNamed(const TreeView& tree, TreeNode parent, const std::wstring& text)
{
    for (TreeNode node : Children(tree, parent))
        if (tree.NodeText(node) == text) return node;
    ADD_FAILURE() << "no node " << text;
    return nullptr;
}

int ImageOf(const TreeView& tree, TreeNode node, UINT mask)
{
    TVITEMW item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = node;
    TreeView_GetItem(tree.handle(), &item);
    return mask == TVIF_IMAGE ? item.iImage : item.iSelectedImage;
}

void ExpectNotAPath(const MessageBoxSpec& shown, const std::wstring& folder)
{
    EXPECT_EQ(shown.text, folder + L"\r\nは正しいパスではありません");
    EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.title, L"エラー");
}

// A destination folder "Photos" in its own temporary folder:
//   Photos\Zoo, Photos\Events\{Trip, 運動会}, Photos\旅行
class DestinationTreeTest : public ::testing::Test, protected CopyWindowHarness {
protected:
    testing::filetree::TempFolder disk;
    const std::wstring photos = disk.path() + L"\\Photos";

    void SetUp() override
    {
        for (const wchar_t* folder : {L"", L"\\Zoo", L"\\Events", L"\\Events\\Trip", L"\\Events\\運動会", L"\\旅行"})
            MakeFolder(photos + folder);
    }

    frmCopy& OpenWithDestinations(const std::vector<std::wstring>& paths)
    {
        std::wstring text = L"[DirList]\r\n";
        for (std::size_t i = 0; i < paths.size(); ++i)
            text += L"Dir" + std::to_wstring(i + 1) + L"=先" + std::to_wstring(i + 1) + L"|" + paths[i] + L"\r\n";
        WriteSettings(text);
        return Open();
    }
};

TEST_F(DestinationTreeTest, ListChoiceAndNodeClicksGiveTheSameFoldersWithOrWithoutABackslash)
{
    for (const std::wstring& stored : {photos, photos + L"\\"}) {
        SCOPED_TRACE(stored);
        CopyWindowHarness h;
        h.WriteSettings(L"[DirList]\r\nDir1=写真|" + stored + L"\r\n");
        frmCopy& w = h.Open();
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
        EXPECT_EQ(RootTexts(w.treDir), (std::vector<std::wstring>{L"Events", L"Zoo", L"旅行"}));

        const TreeNode events = NodeNamed(w.treDir, nullptr, L"Events");
        ClickNode(w.treDir, events);
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\Events\\");
        EXPECT_TRUE(IsExpanded(w.treDir, events));
        EXPECT_EQ(TextsOf(w.treDir, Children(w.treDir, events)), (std::vector<std::wstring>{L"Trip", L"運動会"}));

        ClickNode(w.treDir, NodeNamed(w.treDir, events, L"運動会"));
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\Events\\運動会\\");
        ClickNode(w.treDir, NodeNamed(w.treDir, events, L"Trip"));
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\Events\\Trip\\");
        EXPECT_EQ(h.settings.destinations[0].path, stored);  // the store keeps the path as it was read
        EXPECT_TRUE(h.dialogs.messages.empty());
    }
}

TEST_F(DestinationTreeTest, SecondClickOnlySetsTheTextEvenAfterACollapse)
{
    frmCopy& w = OpenWithDestinations({photos});
    const TreeNode events = NodeNamed(w.treDir, nullptr, L"Events");
    ClickNode(w.treDir, events);
    TreeView_Expand(w.treDir.handle(), events, TVE_COLLAPSE);
    MakeFolder(photos + L"\\Events\\Later");  // a folder made after the first listing is not listed
    ClickNode(w.treDir, NodeNamed(w.treDir, events, L"Trip"));
    ClickNode(w.treDir, events);
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\Events\\");
    EXPECT_FALSE(IsExpanded(w.treDir, events));
    EXPECT_EQ(TextsOf(w.treDir, Children(w.treDir, events)), (std::vector<std::wstring>{L"Trip", L"運動会"}));
}

TEST_F(DestinationTreeTest, ANodeWithoutSubfoldersIsListedAtEveryClickAndStaysWithoutChildren)
{
    frmCopy& w = OpenWithDestinations({photos});
    const TreeNode zoo = NodeNamed(w.treDir, nullptr, L"Zoo");
    ClickNode(w.treDir, zoo);
    EXPECT_FALSE(w.treDir.HasChildren(zoo));
    MakeFolder(photos + L"\\Zoo\\Lions");
    ClickNode(w.treDir, zoo);
    EXPECT_EQ(TextsOf(w.treDir, Children(w.treDir, zoo)), std::vector<std::wstring>{L"Lions"});
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\Zoo\\");
}

TEST_F(DestinationTreeTest, NodesShowTheClosedFolderAndTheOpenOneWhenSelected)
{
    frmCopy& w = OpenWithDestinations({photos});
    const TreeNode events = NodeNamed(w.treDir, nullptr, L"Events");
    ClickNode(w.treDir, events);
    for (TreeNode node : {events, NodeNamed(w.treDir, events, L"Trip")}) {
        EXPECT_EQ(ImageOf(w.treDir, node, TVIF_IMAGE), w.ImageList1.IndexOf(L"close"));
        EXPECT_EQ(ImageOf(w.treDir, node, TVIF_SELECTEDIMAGE), w.ImageList1.IndexOf(L"open"));
    }
    EXPECT_EQ(SelectedNode(w.treDir), events);
    EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(w.treDir.handle(), TVSIL_NORMAL)), 2);
}

TEST_F(DestinationTreeTest, HiddenAndSystemSubfoldersAreListed)
{
    MakeFolder(photos + L"\\.隠し");
    SetFileAttributesW((photos + L"\\.隠し").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(photos + L"\\System");
    SetFileAttributesW((photos + L"\\System").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    frmCopy& w = OpenWithDestinations({photos});
    EXPECT_EQ(RootTexts(w.treDir), (std::vector<std::wstring>{L".隠し", L"Events", L"System", L"Zoo", L"旅行"}));
}

TEST_F(DestinationTreeTest, ADestinationWithoutSubfoldersShowsAnEmptyTree)
{
    MakeFolder(disk.path() + L"\\空");
    frmCopy& w = OpenWithDestinations({disk.path() + L"\\空"});
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), disk.path() + L"\\空\\");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DestinationTreeTest, AMissingDestinationIsReportedAtLoadAndLaterAndTheTextStays)
{
    const std::wstring missing = disk.path() + L"\\Backup";
    frmCopy& w = OpenWithDestinations({missing, photos, missing + L"\\"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectNotAPath(dialogs.messages[0], missing + L"\\");
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), L"");

    w.cboList.SetSelectedIndex(1);
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
    w.cboList.SetSelectedIndex(2);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    ExpectNotAPath(dialogs.messages[1], missing + L"\\");
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
}

TEST_F(DestinationTreeTest, ChoosingInTheListByKeyboardRebuildsTheTree)
{
    MakeFolder(disk.path() + L"\\Other");
    MakeFolder(disk.path() + L"\\Other\\Only");
    frmCopy& w = OpenWithDestinations({photos, disk.path() + L"\\Other"});
    ClickNode(w.treDir, NodeNamed(w.treDir, nullptr, L"Events"));
    w.cboList.Focus();
    testing::PressKey(VK_DOWN);
    EXPECT_EQ(w.cboList.SelectedIndex(), 1);
    EXPECT_EQ(RootTexts(w.treDir), std::vector<std::wstring>{L"Only"});
    EXPECT_EQ(w.txtDir.Text(), disk.path() + L"\\Other\\");
}

TEST_F(DestinationTreeTest, AFolderRemovedSinceTheTreeWasBuiltIsNamedAndNothingElseChanges)
{
    frmCopy& w = OpenWithDestinations({photos});
    const TreeNode zoo = NodeNamed(w.treDir, nullptr, L"Zoo");
    ClickNode(w.treDir, NodeNamed(w.treDir, nullptr, L"Events"));
    RemoveDirectoryW((photos + L"\\Zoo").c_str());
    ClickNode(w.treDir, zoo);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectNotAPath(dialogs.messages[0], photos + L"\\Zoo\\");
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\Events\\");
    EXPECT_EQ(RootTexts(w.treDir), (std::vector<std::wstring>{L"Events", L"Zoo", L"旅行"}));
}

TEST_F(DestinationTreeTest, ADoubleClickListsANodeOnceAndSetsItsFolder)
{
    frmCopy& w = OpenWithDestinations({photos});
    const struct {
        const wchar_t* node;
        std::vector<std::wstring> children;
    } cases[] = {{L"Events", {L"Trip", L"運動会"}}, {L"Zoo", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        const TreeNode node = NodeNamed(w.treDir, nullptr, c.node);
        ClickNode(w.treDir, node, 2);
        EXPECT_EQ(TextsOf(w.treDir, Children(w.treDir, node)), c.children);
        EXPECT_EQ(SelectedNode(w.treDir), node);
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\" + c.node + L"\\");
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DestinationTreeTest, TheExpandButtonOpensAndClosesANodeWithoutClickingIt)
{
    frmCopy& w = OpenWithDestinations({photos});
    const TreeNode events = NodeNamed(w.treDir, nullptr, L"Events");
    ClickNode(w.treDir, events);
    ClickNode(w.treDir, NodeNamed(w.treDir, nullptr, L"Zoo"));
    w.txtDir.SetText(L"C:\\typed");
    for (const bool expandedAfter : {false, true}) {
        ASSERT_TRUE(testing::ClickExpandButton(w.treDir, events));
        EXPECT_EQ(IsExpanded(w.treDir, events), expandedAfter);
        EXPECT_EQ(w.txtDir.Text(), L"C:\\typed");
    }
    EXPECT_EQ(TextsOf(w.treDir, Children(w.treDir, events)), (std::vector<std::wstring>{L"Trip", L"運動会"}));
}

// A listing that fails at a list choice or a node click: only the failures with a message of their own show
// one, and none reaches the window's unexpected-error box.
TEST_F(DestinationTreeTest, AListingThatFailsIsReportedOnlyWhereItHasAMessage)
{
    const struct {
        const char* name;
        Failure failure;
        std::vector<std::wstring> listChoiceTexts;
        std::vector<std::wstring> nodeClickTexts;
    } cases[] = {
        {"gone", Failure(76, L"reason"), {photos + L"\\\r\nは正しいパスではありません"},
         {photos + L"\\Zoo\\\r\nは正しいパスではありません"}},
        {"unreadable", Failure(75, L"アクセスが拒否されました。"), {},
         {photos + L"\\Zoo\\\r\nのフォルダを読み込めませんでした\r\nアクセスが拒否されました。"}},
        {"drive not ready, no reason", Failure(71), {}, {photos + L"\\Zoo\\\r\nのフォルダを読み込めませんでした"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CopyWindowHarness h;
        h.WriteSettings(L"[DirList]\r\nDir1=写真|" + photos + L"\r\nDir2=同じ|" + photos + L"\r\n");
        frmCopy& w = h.Open();
        const TreeNode zoo = NodeNamed(w.treDir, nullptr, L"Zoo");
        h.files.listingFailure = c.failure;
        bool unexpectedBox = false;
        testing::ModalDriver closeAnyErrorBox(L"エラー", [&](HWND box) {
            unexpectedBox = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });

        ClickNode(w.treDir, zoo);
        std::vector<std::wstring> texts;
        for (const auto& box : h.dialogs.messages) texts.push_back(box.text);
        EXPECT_EQ(texts, c.nodeClickTexts);
        EXPECT_EQ(w.txtDir.Text(), photos + L"\\");

        h.dialogs.messages.clear();
        w.txtDir.SetText(L"C:\\typed");
        w.cboList.SetSelectedIndex(1);
        texts.clear();
        for (const auto& box : h.dialogs.messages) texts.push_back(box.text);
        EXPECT_EQ(texts, c.listChoiceTexts);
        EXPECT_EQ(w.txtDir.Text(), L"C:\\typed");
        EXPECT_TRUE(Children(w.treDir, nullptr).empty());
        EXPECT_FALSE(unexpectedBox);
    }
}

TEST_F(DestinationTreeTest, AHiddenNodeFolderIsTheDestinationOfTheCopy)
{
    MakeFolder(photos + L"\\.隠し");
    SetFileAttributesW((photos + L"\\.隠し").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::wstring card = disk.path() + L"\\カード";
    MakeFolder(card);
    frmCopy& w = OpenWithDestinations({photos});
    ClickNode(w.treDir, NodeNamed(w.treDir, nullptr, L".隠し"));
    w.txtSource.SetText(card);
    dialogs.AnswerPrompt(L"2026_1205");
    testing::Click(w.cmdStart);

    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].to, photos + L"\\.隠し\\2026_1205");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"コピーが完了しました");
}

TEST_F(DestinationTreeTest, WithoutDestinationsAChoiceInTheListShowsNothing)
{
    frmCopy& w = Open();
    w.txtDir.SetText(L"C:\\typed");
    w.cboList.SetSelectedIndex(0);
    EXPECT_TRUE(Children(w.treDir, nullptr).empty());
    EXPECT_EQ(w.txtDir.Text(), L"C:\\typed");
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace korvane::ui
