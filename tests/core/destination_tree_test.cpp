#include "core/copy/destination_tree.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace destination_tree;

TEST(DestinationTree, ListAndNodeFoldersEndInOneBackslashWhateverTheStoredForm)
{
    const struct {
        std::wstring stored;
        std::wstring listed;
        std::wstring nodePath;  // from the root level down, as the tree joins it
        std::wstring node;
    } cases[] = {
        {L"D:\\Photos", L"D:\\Photos\\", L"Events", L"D:\\Photos\\Events\\"},
        {L"D:\\Photos\\", L"D:\\Photos\\", L"Events\\Trip", L"D:\\Photos\\Events\\Trip\\"},
        {L"F:\\", L"F:\\", L"Cards", L"F:\\Cards\\"},
        {L"F:\\", L"F:\\", L"Events\\Trip", L"F:\\Events\\Trip\\"},
        {L"F:", L"F:\\", L"Cards", L"F:\\Cards\\"},
        {L"\\\\server\\share\\", L"\\\\server\\share\\", L"写真", L"\\\\server\\share\\写真\\"},
        // Only one trailing backslash is dropped: a doubled one stays doubled, as stored.
        {L"D:\\Photos\\\\", L"D:\\Photos\\\\", L"Zoo", L"D:\\Photos\\\\Zoo\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.stored));
        EXPECT_EQ(ListedFolder(c.stored), c.listed);
        EXPECT_EQ(NodeFolder(c.stored, c.nodePath), c.node);
    }
}

TEST(DestinationTree, OnlyAMissingFolderIsReportedForAListChoiceAndEveryFailureForANodeClick)
{
    const std::wstring folder = L"D:\\写真\\Zoo\\";
    const std::wstring notAPath = folder + L"\r\nは正しいパスではありません";
    const struct {
        Failure failure;
        std::optional<std::wstring> listChoiceText;
        std::wstring nodeClickText;
    } cases[] = {
        {Failure(failure_code::kPathNotFound, L"パスが見つかりません。"), notAPath, notAPath},
        {Failure(75, L"アクセスが拒否されました。"), std::nullopt,
         folder + L"\r\nのフォルダを読み込めませんでした\r\nアクセスが拒否されました。"},
        {Failure(71), std::nullopt, folder + L"\r\nのフォルダを読み込めませんでした"},
        {Failure(failure_code::kBadFileName), std::nullopt, folder + L"\r\nのフォルダを読み込めませんでした"},
    };
    const auto expectStopBox = [](const MessageBoxSpec& box, const std::wstring& text) {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.title, L"エラー");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure.code());
        const std::optional<MessageBoxSpec> listChoice = ListChoiceFailureMessage(folder, c.failure);
        ASSERT_EQ(listChoice.has_value(), c.listChoiceText.has_value());
        if (listChoice) expectStopBox(*listChoice, *c.listChoiceText);
        expectStopBox(NodeClickFailureMessage(folder, c.failure), c.nodeClickText);
    }
}

}  // namespace
}  // namespace korvane
