// The settings window's OK, Cancel, export and import, with the real file system in a temporary program folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/file_text.h"
#include "program_test_support.h"

namespace korvane::ui {
namespace {

using testing::Click;
using testing::ProgramHarness;
using testing::PumpMessages;
using testing::TypeInto;
using testing::ClearBox;

class SettingsSaveTest : public ::testing::Test, protected ProgramHarness {
protected:
    // The registered destination exists, so that the copy window opens without a word.
    const std::wstring photos = programFolder.path() + L"\\写真";
    const std::wstring storedSettings = L"; written by hand\r\n[SourceList]\r\nSource1=カード|E:\\DCIM\r\n[DirList]\r\n"
                                         L"Dir1=写真|" + photos + L"\r\nDir3=残り|C:\\残り\r\n"
                                         L"[Other]\r\nKey=value\r\n[Password]\r\nPassword=\r\n";
    // The comment and the other section stay; the entry after the gap, which no load reads, goes.
    const std::wstring rewritten = L"; written by hand\r\n[SourceList]\r\nSource1=カード|E:\\DCIM\r\nSource2=\r\n"
                                    L"Source3=\r\n[DirList]\r\nDir1=写真|" + photos +
                                    L"\r\n[Other]\r\nKey=value\r\n[Password]\r\nPassword=\r\n";
    // An export is a fresh file: no line of data.ini or of the file it replaces but the settings.
    const std::wstring exportedText = L"[SourceList]\r\nSource1=カード|E:\\DCIM\r\nSource2=\r\nSource3=\r\n"
                                       L"[DirList]\r\nDir1=写真|" + photos + L"\r\n[Password]\r\nPassword=\r\n";

    void SetUp() override
    {
        testing::filetree::MakeFolder(photos);
        WriteSettings(storedSettings);
    }

    std::wstring OtherFile(const std::wstring& name) const { return programFolder.path() + L"\\" + name; }
    std::wstring TextOf(const std::wstring& file) const { return codec.Decode(testing::filetree::ReadBytes(file)); }

    // Edits that touch every part of the working copy.
    static void EditEverything(frmSetup& w)
    {
        Click(w.chkSource[1]);
        TypeInto(w.txtName[1].handle(), L"USB");
        TypeInto(w.txtSource[1].handle(), L"F:\\");
        Click(w.cmdAdd);
        TypeInto(w.txtListDir.handle(), L"D:\\仕事");
        TypeInto(w.txtPassword.handle(), L"pw");
        Click(w.chkVerify);
        TypeInto(w.txtBackup.handle(), L"G:\\控え");
    }
};

TEST_F(SettingsSaveTest, OkWithoutChangesRewritesTheFileAsTheWindowShowsIt)
{
    frmSetup& w = OpenSettingsWindow();
    Click(w.cmdOK);
    EXPECT_EQ(SettingsText(), rewritten);
    EXPECT_EQ(windows.settingsWindow(), nullptr);
    EXPECT_NE(windows.copyWindow(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingsSaveTest, OkSavesTheEditsAndTheFreshCopyWindowShowsThem)
{
    frmSetup& w = OpenSettingsWindow();
    EditEverything(w);
    Click(w.cmdOK);
    EXPECT_EQ(SettingsText(),
              L"; written by hand\r\n[SourceList]\r\nSource1=カード|E:\\DCIM\r\nSource2=USB|F:\\\r\nSource3=\r\n"
              L"[DirList]\r\nDir1=写真|" + photos + L"\r\nDir2=保存先2|D:\\仕事\r\n[Other]\r\nKey=value\r\n"
              L"[Password]\r\nPassword=pw\r\n[Option]\r\nVerify=1\r\nSkipCopied=0\r\nSelectArrivedCard=0\r\n"
              L"ReadCardOnce=0\r\nBackupFolder=G:\\控え\\\r\n");
    EXPECT_EQ(settings.options, (Options{.verify = true, .skipCopied = false, .backupFolder = L"G:\\控え\\"}));
    frmCopy* copy = windows.copyWindow();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->optSource[1].Text(), L"USB");
    ASSERT_EQ(testing::ItemsOf(copy->cboList).size(), 2u);
    EXPECT_EQ(testing::ItemsOf(copy->cboList)[1], L"保存先2");
    EXPECT_EQ(settings.password, L"pw");
}

// Names the code page lacks survive OK and the copy window's new load: the file turns to UTF-16.
TEST_F(SettingsSaveTest, NamesOutsideTheCodePageSurviveOkAndTheNextLoad)
{
    const std::wstring korean = programFolder.path() + L"\\사진";
    testing::filetree::MakeFolder(korean);
    frmSetup& w = OpenSettingsWindow();
    Click(w.cmdAdd);
    TypeInto(w.txtListDir.handle(), korean);
    ClearBox(w.txtListName.handle());
    TypeInto(w.txtListName.handle(), L"Café");
    TypeInto(w.txtPassword.handle(), L"Café");
    Click(w.cmdOK);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(SettingsBytes().starts_with("\xFF\xFE"));
    EXPECT_EQ(settings.password, L"Café");
    ASSERT_EQ(settings.destinations.size(), 2u);
    EXPECT_EQ(settings.destinations[1], (DirEntry{L"Café", korean}));
    frmCopy* copy = windows.copyWindow();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(testing::ItemsOf(copy->cboList).at(1), L"Café");
}

// A backup folder named outside the code page goes out with export (in UTF-16, ending in "\\"), comes back with
// import, and Cancel leaves data.ini as it was.
TEST_F(SettingsSaveTest, TheBackupFolderGoesOutWithExportAndComesBackWithImport)
{
    const std::string before = SettingsBytes();
    const std::wstring backup = L"G:\\Sauvegarde\\사진";
    const std::wstring exported = OtherFile(L"控え.ini");
    frmSetup& w = OpenSettingsWindow();
    TypeInto(w.txtBackup.handle(), backup);
    dialogs.AnswerFileDialog(exported);
    Click(w.cmdExport);
    const std::string bytes = testing::filetree::ReadBytes(exported);
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    EXPECT_NE(DecodeFileText(bytes, codec).find(L"\r\nBackupFolder=" + backup + L"\\\r\n"), std::wstring::npos);

    ClearBox(w.txtBackup.handle());
    dialogs.AnswerFileDialog(exported);
    dialogs.AnswerMessage(MessageAnswer::Yes);
    Click(w.cmdImport);
    EXPECT_EQ(w.txtBackup.Text(), backup + L"\\");
    Click(w.cmdCancel);
    EXPECT_EQ(SettingsBytes(), before);
}

TEST_F(SettingsSaveTest, CancelLeavesTheFileByteForByteAfterEditsAndAfterAnImport)
{
    const std::string before = SettingsBytes();
    const std::wstring exported = OtherFile(L"出力.ini");
    testing::filetree::WriteBytes(exported, codec.Encode(L"[DirList]\r\nDir1=よそ|Z:\\\r\n"));
    frmSetup& w = OpenSettingsWindow();
    EditEverything(w);
    dialogs.AnswerFileDialog(exported);
    dialogs.AnswerMessage(MessageAnswer::Yes);
    Click(w.cmdImport);
    EXPECT_EQ(w.lstDir.ItemCount(), 1u);
    EXPECT_EQ(SettingsBytes(), before) << "the import only fills the window";
    Click(w.cmdCancel);
    EXPECT_EQ(SettingsBytes(), before);
    ASSERT_NE(windows.copyWindow(), nullptr);
    EXPECT_EQ(testing::ItemsOf(windows.copyWindow()->cboList).at(0), L"写真");
}

struct ExportCase {
    const char* name;
    std::wstring file;  // in the program folder
    bool existsBefore;    friend void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }
};

class ExportWindowTest : public SettingsSaveTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportWindowTest, WritesTheWindowsContentsAndTheWindowStaysAsItWas)
{
    const ExportCase& c = GetParam();
    const std::wstring file = OtherFile(c.file);
    if (c.existsBefore && c.file != L"data.ini") testing::filetree::WriteBytes(file, "[Old]\r\nx=1\r\n");
    frmSetup& w = OpenSettingsWindow();
    dialogs.AnswerFileDialog(file);
    Click(w.cmdExport);
    EXPECT_EQ(TextOf(file), exportedText);
    EXPECT_EQ(windows.settingsWindow(), &w);
    EXPECT_EQ(w.txtName[0].Text(), L"カード");
    EXPECT_EQ(w.lstDir.ItemCount(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, ExportWindowTest,
                         ::testing::Values(ExportCase{"NewFile", L"新しい設定.ini", false},
                                           ExportCase{"ExistingFile", L"前の設定.ini", true},
                                           ExportCase{"TheSettingsFileItself", L"data.ini", true},
                                           ExportCase{"NameWithoutExtension", L"設定", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ImportCase {
    const char* name;
    std::wstring fileText;
    MessageAnswer answer;
    std::vector<std::wstring> messageTitles;
    std::vector<bool> checked;
    std::vector<std::wstring> labels;
    std::wstring password;
    Options options = {};
    friend void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.name; }
};

class ImportWindowTest : public SettingsSaveTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportWindowTest, FillsTheWindowFromTheFileOnlyAfterYes)
{
    const ImportCase& c = GetParam();
    const std::wstring file = OtherFile(L"読み込む.ini");
    testing::filetree::WriteBytes(file, codec.Encode(c.fileText));
    frmSetup& w = OpenSettingsWindow();
    dialogs.AnswerFileDialog(file);
    dialogs.AnswerMessage(c.answer);
    Click(w.cmdImport);
    std::vector<std::wstring> titles;
    for (const MessageBoxSpec& box : dialogs.messages) titles.push_back(box.title);
    EXPECT_EQ(titles, c.messageTitles);
    std::vector<bool> checked;
    for (const CheckBox& box : w.chkSource) checked.push_back(box.IsChecked());
    EXPECT_EQ(checked, c.checked);
    std::vector<std::wstring> labels;
    for (std::size_t i = 0; i < w.lstDir.ItemCount(); ++i) labels.push_back(testing::ShownLabel(w.lstDir, i));
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(w.txtPassword.Text(), c.password);
    EXPECT_EQ((Options{.verify = w.chkVerify.IsChecked(),
                       .skipCopied = w.chkSkipCopied.IsChecked(),
                       .selectArrivedCard = w.chkSelectArrivedCard.IsChecked(),
                       .readCardOnce = w.chkReadCardOnce.IsChecked(),
                       .backupFolder = w.txtBackup.Text()}),
              c.options);
    EXPECT_EQ(SettingsText(), storedSettings);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportWindowTest,
    ::testing::Values(
        ImportCase{"Yes",
                   L"[SourceList]\r\nSource3=SD|G:\\\r\n[DirList]\r\nDir1=a|A:\\\r\nDir2=b|B:\\\r\n"
                   L"[Password]\r\nPassword=新\r\n[option]\r\nskipcopied=1\r\nVerify=yes\r\n"
                   L"SELECTARRIVEDCARD=1\r\nReadCardOnce=1\r\nbackupfolder=H:\\控え\\\r\n",
                   MessageAnswer::Yes, {L"設定ファイルの上書き"}, {false, false, true}, {L"a", L"b"}, L"新",
                   {.verify = false, .skipCopied = true, .selectArrivedCard = true, .readCardOnce = true,
                    .backupFolder = L"H:\\控え\\"}},
        ImportCase{"No", L"[DirList]\r\nDir1=a|A:\\\r\n", MessageAnswer::No, {L"設定ファイルの上書き", L"確認"},
                   {true, false, false}, {L"写真"}, L""},
        ImportCase{"AFileThatFailsToRead",
                   L"[SourceList]\r\nSource1=カード\r\nSource2=x|y\r\n[DirList]\r\nDir1=a|A:\\\r\n",
                   MessageAnswer::Yes, {L"設定ファイルの上書き", L"エラー"}, {true, false, false}, {}, L""},
        ImportCase{"WithoutDirList", L"[SourceList]\r\nSource2=USB|F:\\\r\n", MessageAnswer::Yes,
                   {L"設定ファイルの上書き"}, {false, true, false}, {}, L""},
        ImportCase{"WithoutAnySection", L"; nothing\r\n", MessageAnswer::Yes, {L"設定ファイルの上書き"},
                   {false, false, false}, {}, L""}),
    [](const auto& info) { return std::string(info.param.name); });

// An import that cannot read its file at all leaves the window as it was, says so, and OK saves what it shows.
struct RefusedImportCase {
    const char* name;
    // Makes the chosen file unreadable in its own way; what it returns is held until the import is over.
    std::function<std::shared_ptr<void>(const std::wstring& file)> prepare;
    std::wstring chosenName = L"読み込む.ini";
    friend void PrintTo(const RefusedImportCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedImportTest : public SettingsSaveTest, public ::testing::WithParamInterface<RefusedImportCase> {};

TEST_P(RefusedImportTest, KeepsTheWindowAndSaysSo)
{
    const RefusedImportCase& c = GetParam();
    const std::wstring file = OtherFile(c.chosenName);
    const auto held = c.prepare(file);
    frmSetup& w = OpenSettingsWindow();
    dialogs.AnswerFileDialog(file);
    dialogs.AnswerMessage(MessageAnswer::Yes);
    Click(w.cmdImport);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    const MessageBoxSpec& box = dialogs.messages[1];
    EXPECT_TRUE(box.text.starts_with(file + L"\r\nの設定ファイル")) << ::testing::PrintToString(box.text);
    EXPECT_TRUE(box.text.ends_with(L"\r\n今までの設定はそのままです")) << ::testing::PrintToString(box.text);
    EXPECT_EQ(box.title, L"エラー");
    EXPECT_TRUE(w.chkSource[0].IsChecked());
    EXPECT_EQ(w.txtName[0].Text(), L"カード");
    ASSERT_EQ(w.lstDir.ItemCount(), 1u);
    EXPECT_EQ(testing::ShownLabel(w.lstDir, 0), L"写真");
    Click(w.cmdOK);
    EXPECT_EQ(SettingsText(), rewritten);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedImportTest,
    ::testing::Values(
        RefusedImportCase{"TooLarge",
                          [](const std::wstring& file) -> std::shared_ptr<void> {
                              // Sparse in effect: the reader refuses by the size alone.
                              const UniqueFileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
                              LARGE_INTEGER size{};
                              size.QuadPart = static_cast<LONGLONG>(FileSystem::kReadLimit) + 1;
                              SetFilePointerEx(handle.get(), size, nullptr, FILE_BEGIN);
                              SetEndOfFile(handle.get());
                              return nullptr;
                          }},
        RefusedImportCase{"LockedByAnotherProgram",
                          [](const std::wstring& file) -> std::shared_ptr<void> {
                              testing::filetree::WriteBytes(file, "[DirList]\r\nDir1=a|A:\\\r\n");
                              return std::make_shared<UniqueFileHandle>(CreateFileW(
                                  file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                          }},
        RefusedImportCase{"GoneSinceItWasChosen", [](const std::wstring&) -> std::shared_ptr<void> { return nullptr; }},
        RefusedImportCase{"ItsLookUpFails", [](const std::wstring&) -> std::shared_ptr<void> { return nullptr; },
                          L"読み<込む>.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsSaveTest, CancelledFileDialogsDoNothing)
{
    frmSetup& w = OpenSettingsWindow();
    Click(w.cmdImport);
    Click(w.cmdExport);
    EXPECT_EQ(dialogs.openDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.lstDir.ItemCount(), 1u);
    EXPECT_EQ(SettingsText(), storedSettings);
}

struct RefusedCase {
    const char* name;
    std::function<void(frmSetup&)> edit;
    std::function<void(const std::wstring& dataIni, const std::wstring& other)> prepare;
    bool exportInstead;
    std::vector<std::wstring> messageParts;  // each must stand in the message
    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedSaveTest : public SettingsSaveTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSaveTest, SaysWhyNamesTheFileKeepsTheWindowAndLeavesTheFile)
{
    const RefusedCase& c = GetParam();
    const std::wstring other = OtherFile(L"出力.ini");
    testing::filetree::WriteBytes(other, "[Old]\r\nx=1\r\n");
    c.prepare(DataIni(), other);
    const std::string dataIniBefore = SettingsBytes();
    frmSetup& w = OpenSettingsWindow();
    c.edit(w);
    if (c.exportInstead) {
        dialogs.AnswerFileDialog(other);
        Click(w.cmdExport);
    } else {
        Click(w.cmdOK);
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageBoxSpec& box = dialogs.messages[0];
    for (const std::wstring& part : c.messageParts) EXPECT_NE(box.text.find(part), std::wstring::npos) << part;
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.title, L"エラー");
    EXPECT_EQ(windows.settingsWindow(), &w) << "the window stays open";
    EXPECT_EQ(w.txtPassword.Text(), L"pw") << "with the edits as typed";
    EXPECT_EQ(SettingsBytes(), dataIniBefore);
    EXPECT_EQ(testing::filetree::ReadBytes(other), "[Old]\r\nx=1\r\n");
    SetFileAttributesW(DataIni().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(other.c_str(), FILE_ATTRIBUTE_NORMAL);
}

const auto kTypePassword = [](frmSetup& w) { TypeInto(w.txtPassword.handle(), L"pw"); };
const auto kNothingToPrepare = [](const std::wstring&, const std::wstring&) {};

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedSaveTest,
    ::testing::Values(
        RefusedCase{"ReadOnlySettingsFile", kTypePassword,
                    [](const std::wstring& dataIni, const std::wstring&) {
                        SetFileAttributesW(dataIni.c_str(), FILE_ATTRIBUTE_READONLY);
                    },
                    false, {L"data.ini", L"を保存できませんでした"}},
        RefusedCase{"ReadOnlyExportTarget", kTypePassword,
                    [](const std::wstring&, const std::wstring& other) {
                        SetFileAttributesW(other.c_str(), FILE_ATTRIBUTE_READONLY);
                    },
                    true, {L"出力.ini", L"を保存できませんでした"}},
        RefusedCase{"SeparatorInACheckedSlot",
                    [](frmSetup& w) {
                        TypeInto(w.txtName[0].handle(), L"|A");
                        kTypePassword(w);
                    },
                    kNothingToPrepare, false, {L"data.ini", L"コピー元 1", L"「|」"}},
        RefusedCase{"SeparatorInADestination",
                    [](frmSetup& w) {
                        testing::ClickItem(w.lstDir, 0);
                        TypeInto(w.txtListDir.handle(), L"|x");
                        kTypePassword(w);
                    },
                    kNothingToPrepare, false, {L"data.ini", L"保存先 1「写真」", L"「|」"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsSaveTest, ASeparatorInAnUncheckedSlotOrThePasswordIsSaved)
{
    frmSetup& w = OpenSettingsWindow();
    Click(w.chkSource[2]);
    TypeInto(w.txtName[2].handle(), L"a|b");
    Click(w.chkSource[2]);
    TypeInto(w.txtPassword.handle(), L"p|w");
    Click(w.cmdOK);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NE(SettingsText().find(L"Source3=\r\n"), std::wstring::npos);
    EXPECT_NE(SettingsText().find(L"Password=p|w\r\n"), std::wstring::npos);
}

TEST_F(SettingsSaveTest, ALockedSettingsFileLoadsAsNoneAndCannotBeOverwrittenUnseen)
{
    const HANDLE lock = CreateFileW(DataIni().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    frmSetup& w = OpenSettingsWindow();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(DataIni()), std::wstring::npos);
    EXPECT_FALSE(w.chkSource[0].IsChecked()) << "the store is as after a missing file";
    EXPECT_EQ(w.lstDir.ItemCount(), 0u);
    Click(w.cmdOK);
    EXPECT_EQ(dialogs.messages.size(), 2u) << "the save fails where the user sees it";
    EXPECT_NE(windows.settingsWindow(), nullptr);
    CloseHandle(lock);
    EXPECT_EQ(SettingsText(), storedSettings);
}

}  // namespace
}  // namespace korvane::ui
