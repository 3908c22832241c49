// The copy window notices a card going in: the system's volume notices, sent as the system sends them.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include "window_test_support.h"

namespace korvane {
namespace {

using testing::CopyWindowHarness;

class CardArrivalTest : public ::testing::Test, protected CopyWindowHarness {
protected:
    // The test's folders stand on one drive of the prefix; its card folders are registered as slots.
    const wchar_t drive = programFolder.path()[0];
    const std::wstring card = programFolder / L"カード";
    const std::wstring otherCard = programFolder / L"CF";
    const std::wstring photos = programFolder / L"写真";

    // With the option on unless `options` says otherwise.
    ui::frmCopy& OpenWithSlots(const std::wstring& first, const std::wstring& second,
                               const std::wstring& options = L"[Option]\r\nSelectArrivedCard=1\r\n")
    {
        testing::filetree::MakeFolder(card);
        testing::filetree::MakeFolder(otherCard);
        testing::filetree::MakeFolder(photos);
        WriteSettings(L"[SourceList]\r\nSource1=SD|" + first + L"\r\nSource2=CF|" + second + L"\r\n[DirList]\r\nDir1=写真|" +
                      photos + L"\r\n" + options);
        return Open();
    }

    void Notify(ui::frmCopy& w, WPARAM event, wchar_t letter)
    {
        DEV_BROADCAST_VOLUME volume{};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = 1u << ((letter & ~0x20) - L'A');
        SendMessageW(w.handle(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }

    static int Chosen(const ui::frmCopy& w)
    {
        for (std::size_t i = 0; i < w.optSource.size(); ++i)
            if (w.optSource[i].IsChecked()) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(CardArrivalTest, TheOneSlotOnTheArrivedDriveIsChosenAsByAClick)
{
    const struct {
        const char* what;
        std::wstring first;
        std::wstring second;
        int chosen;
        std::wstring options = L"[Option]\r\nSelectArrivedCard=1\r\n";
    } cases[] = {
        {"one slot on the drive", card, L"Q:\\DCIM", 0},
        {"two candidates", card, otherCard, -1},
        {"the folder is absent", programFolder / L"まだない", L"Q:\\DCIM", -1},
        {"the option off", card, L"Q:\\DCIM", -1, L"[Option]\r\nSelectArrivedCard=0\r\n"},
        {"a settings file without options, as before the option", card, L"Q:\\DCIM", -1, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::frmCopy& w = OpenWithSlots(c.first, c.second, c.options);
        Notify(w, DBT_DEVICEARRIVAL, drive);
        EXPECT_EQ(Chosen(w), c.chosen);
        EXPECT_EQ(w.txtSource.Text(), c.chosen == 0 ? c.first : L"");
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(shell.copies.empty()) << "nothing starts by itself";
    }
}

TEST_F(CardArrivalTest, OneInsertionToldTwiceActsOnceAndARemovalReadiesTheNext)
{
    ui::frmCopy& w = OpenWithSlots(card, L"Q:\\DCIM");
    Notify(w, DBT_DEVICEARRIVAL, drive);
    ASSERT_EQ(Chosen(w), 0);
    dialogs.AnswerPickFolder({photos, std::nullopt});  // the user picks another folder instead
    testing::Click(w.cmdSelect);
    ASSERT_EQ(Chosen(w), -1);

    Notify(w, DBT_DEVICEARRIVAL, drive);
    EXPECT_EQ(Chosen(w), -1);
    EXPECT_EQ(w.txtSource.Text(), photos);

    Notify(w, DBT_DEVICEREMOVECOMPLETE, drive);
    EXPECT_EQ(w.txtSource.Text(), photos) << "a removal clears nothing";
    Notify(w, DBT_DEVICEARRIVAL, drive);
    EXPECT_EQ(Chosen(w), 0);
    EXPECT_EQ(w.txtSource.Text(), card);
}

TEST_F(CardArrivalTest, ACardArrivingDuringACopyRunChangesNothing)
{
    ui::frmCopy& w = OpenWithSlots(card, L"Q:\\DCIM");
    const std::wstring gone = programFolder / L"gone";
    w.txtSource.SetText(gone);
    w.txtDir.SetText(photos);
    dialogs.AnswerMessage(MessageAnswer::Cancel, [&] { Notify(w, DBT_DEVICEARRIVAL, drive); });
    testing::Click(w.cmdStart);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"コピー元の準備が出来ていません");
    EXPECT_EQ(Chosen(w), -1);
    EXPECT_EQ(w.txtSource.Text(), gone);
}

// The completion box may stay open long: a card taken out meanwhile is seen, so the next card in the reader counts.
TEST_F(CardArrivalTest, ACardTakenOutDuringACopyRunReadiesTheNext)
{
    ui::frmCopy& w = OpenWithSlots(card, L"Q:\\DCIM");
    Notify(w, DBT_DEVICEARRIVAL, drive);
    ASSERT_EQ(Chosen(w), 0);
    w.txtDir.SetText(photos);
    dialogs.AnswerPrompt(L"2026_1205");
    dialogs.AnswerMessage(MessageAnswer::Ok, [&] { Notify(w, DBT_DEVICEREMOVECOMPLETE, drive); });
    testing::Click(w.cmdStart);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ASSERT_EQ(dialogs.messages[0].text, L"コピーが完了しました");
    dialogs.AnswerPickFolder({photos, std::nullopt});
    testing::Click(w.cmdSelect);
    ASSERT_EQ(Chosen(w), -1);

    Notify(w, DBT_DEVICEARRIVAL, drive);
    EXPECT_EQ(Chosen(w), 0);
    EXPECT_EQ(w.txtSource.Text(), card);
}

}  // namespace
}  // namespace korvane
