#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "core/settings/settings_commands.h"
#include "settings_test_services.h"

namespace korvane {
namespace {

using testing::SettingsTestServices;

const std::wstring kExported = L"C:\\Users\\写真家\\設定.ini";
const std::wstring kSavedText =
    L"[SourceList]\r\nSource1=カード|E:\\DCIM\r\nSource2=\r\nSource3=\r\n[DirList]\r\nDir1=写真|D:\\写真\r\n"
    L"[Password]\r\nPassword=\r\n";

SettingsStore OneSlotOneDestination()
{
    SettingsStore content;
    content.sources[0] = {L"カード", L"E:\\DCIM", true};
    content.sources[1] = {L"古い名前", L"F:\\", false};  // unchecked: not written
    content.destinations = {{L"写真", L"D:\\写真"}};
    return content;
}

TEST(SettingsWindowTest, ShowsRegisteredSlotsWithTheirTextsAndUnregisteredOnesEmpty)
{
    SettingsStore store;
    store.sources[1] = {L"カード", L"E:\\", true};
    store.sources[2] = {L"残った名前", L"F:\\残った", false};
    store.destinations = {{L"写真", L"D:\\写真"}, {L"", L""}};
    store.password = L" ";
    const SettingsStore shown = WorkingCopyOf(store);
    EXPECT_FALSE(shown.sources[0].registered);
    EXPECT_TRUE(shown.sources[1].registered);
    EXPECT_EQ(shown.sources[1].name, L"カード");
    EXPECT_EQ(shown.sources[1].path, L"E:\\");
    EXPECT_FALSE(shown.sources[2].registered);
    EXPECT_EQ(shown.sources[2].name, L"");
    EXPECT_EQ(shown.sources[2].path, L"");
    EXPECT_EQ(shown.destinations, (std::vector<DirEntry>{{L"写真", L"D:\\写真"}, {L"", L""}}));
    EXPECT_EQ(shown.password, L" ");
    EXPECT_TRUE(PasswordIsSet(store));  // a single blank counts as a password
}

struct ExportCase {
    const char* name;
    std::optional<std::wstring> chosen;    // nothing: the dialog was cancelled
    std::optional<Failure> writeFailure;   // the file system's refusal
    std::wstring expectedFile;             // the exported file's text afterwards
    std::size_t expectedMessages;    friend void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }
};

class ExportTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportTest, WritesTheWorkingCopyToTheChosenFileOrSaysWhyNot)
{
    const ExportCase& c = GetParam();
    SettingsTestServices t;
    t.AddSettingsFile(L"[Password]\r\nPassword=old\r\n", false, false, kExported);
    t.dialogs.AnswerFileDialog(c.chosen);
    t.fileSystem.failNextWrite = c.writeFailure;

    ExportSettings(OneSlotOneDestination(), t.services);

    ASSERT_EQ(t.dialogs.saveDialogs.size(), 1u);
    const FileDialogSpec& dialog = t.dialogs.saveDialogs[0];
    EXPECT_EQ(dialog.title, L"外部に保存");
    EXPECT_EQ(dialog.filter, L"設定ファイル(*.ini)|*.ini");
    EXPECT_TRUE(dialog.askBeforeReplacing);
    EXPECT_TRUE(dialog.hideReadOnly);
    EXPECT_FALSE(dialog.fileMustExist);
    EXPECT_EQ(t.FileText(kExported), c.expectedFile);
    ASSERT_EQ(t.dialogs.messages.size(), c.expectedMessages);
    if (c.expectedMessages == 1) {
        const MessageBoxSpec& box = t.dialogs.messages[0];
        EXPECT_NE(box.text.find(kExported), std::wstring::npos) << "the message names the file";
        EXPECT_NE(box.text.find(L"アクセスが拒否されました。"), std::wstring::npos) << "and gives the reason";
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.title, L"エラー");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ExportTest,
    ::testing::Values(
        ExportCase{"Cancelled", std::nullopt, std::nullopt, L"[Password]\r\nPassword=old\r\n", 0},
        ExportCase{"OntoAnExistingFile", kExported, std::nullopt, kSavedText, 0},
        ExportCase{"RefusedByTheFileSystem", kExported, Failure(75, L"アクセスが拒否されました。"),
                   L"[Password]\r\nPassword=old\r\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct ImportCase {
    const char* name;
    std::optional<std::wstring> chosen;
    std::optional<MessageAnswer> answer;  // to the replace question
    bool expectedResult;
    std::vector<std::wstring> expectedMessageTitles;
    std::size_t expectedDestinations;    friend void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.name; }
};

class ImportTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportTest, ReadsTheChosenFileOnlyAfterTheUserAgreesAndNeverWritesDataIni)
{
    const ImportCase& c = GetParam();
    SettingsTestServices t;
    t.AddSettingsFile(L"[DirList]\r\nDir1=今の|C:\\今\r\n");
    t.AddSettingsFile(L"[SourceList]\r\nSource1=abc\r\n[DirList]\r\nDir1=a|A:\\\r\nDir2=b|B:\\\r\n", false, false,
                      L"C:\\壊れた.ini");
    t.AddSettingsFile(L"[DirList]\r\nDir1=a|A:\\\r\nDir2=b|B:\\\r\n", false, false, kExported);
    const std::wstring dataIniBefore = t.FileText();
    t.dialogs.AnswerFileDialog(c.chosen);
    if (c.answer) t.dialogs.AnswerMessage(*c.answer);

    SettingsStore imported;
    EXPECT_EQ(ImportSettings(imported, t.services), c.expectedResult);

    ASSERT_EQ(t.dialogs.openDialogs.size(), 1u);
    EXPECT_EQ(t.dialogs.openDialogs[0].title, L"外部から読み込み");
    EXPECT_EQ(t.dialogs.openDialogs[0].filter, L"設定ファイル(*.ini)|*.ini");
    EXPECT_TRUE(t.dialogs.openDialogs[0].fileMustExist);
    EXPECT_TRUE(t.dialogs.openDialogs[0].hideReadOnly);
    std::vector<std::wstring> titles;
    for (const MessageBoxSpec& box : t.dialogs.messages) titles.push_back(box.title);
    EXPECT_EQ(titles, c.expectedMessageTitles);
    EXPECT_EQ(imported.destinations.size(), c.expectedDestinations);
    EXPECT_EQ(t.FileText(), dataIniBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Imports, ImportTest,
    ::testing::Values(ImportCase{"DialogCancelled", std::nullopt, std::nullopt, false, {}, 0},
                      ImportCase{"QuestionAnsweredNo", kExported, MessageAnswer::No, false,
                                 {L"設定ファイルの上書き", L"確認"}, 0},
                      ImportCase{"QuestionAnsweredYes", kExported, MessageAnswer::Yes, true,
                                 {L"設定ファイルの上書き"}, 2},
                      ImportCase{"AFileThatFailsToReadShowsWhatWasRead", L"C:\\壊れた.ini", MessageAnswer::Yes, true,
                                 {L"設定ファイルの上書き", L"エラー"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImportQuestionTest, AsksWithYesAsTheDefaultAndSaysWhenItStops)
{
    SettingsTestServices t;
    t.dialogs.AnswerFileDialog(kExported);
    t.dialogs.AnswerMessage(MessageAnswer::No);
    SettingsStore imported;
    ImportSettings(imported, t.services);
    EXPECT_EQ(t.dialogs.messages,
              (std::vector<MessageBoxSpec>{{L"今までの設定は消えてしまいますがよろしいですか？", MessageIcon::Exclamation,
                                            MessageButtons::YesNo, false, L"設定ファイルの上書き"},
                                           {L"読み込みは中止されました", MessageIcon::Critical, MessageButtons::Ok,
                                            false, L"確認"}}));
}

TEST(PasswordTest, OnlyTheExactStoredTextOpensTheSettings)
{
    SettingsStore store;
    store.password = L"Pass ワード";
    const std::vector<std::pair<std::wstring, bool>> attempts{
        {L"Pass ワード", true}, {L"pass ワード", false}, {L" Pass ワード", false}, {L"Pass ワード ", false},
        {L"Ｐａｓｓ ワード", false}, {L"Pass\u3000ワード", false}, {L"", false}, {L"Pass ワ", false}};
    for (const auto& [typed, opens] : attempts) {
        testing::ScriptedDialogs dialogs;
        EXPECT_EQ(CheckPassword(store, typed, dialogs), opens) << ::testing::PrintToString(typed);
        const std::vector<MessageBoxSpec> refusal{
            {L"パスワードが違います", MessageIcon::Critical, MessageButtons::Ok, false, L"エラー"}};
        EXPECT_EQ(dialogs.messages, opens ? std::vector<MessageBoxSpec>{} : refusal);
    }
}

}  // namespace
}  // namespace korvane
