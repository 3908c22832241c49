#include "ui/progress/frm_progress.h"

#include "core/verify/verify_messages.h"

namespace korvane::ui {

namespace {
constexpr UINT kFinished = WM_APP + 1;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds = 100;  // ten times a second: the figures move smoothly, at little cost
const wchar_t kCancelling[] = L"取り消しています...";

void SetIfChanged(Label& label, const std::wstring& text)
{
    if (label.Text() != text) label.SetCaption(text);
}
}  // namespace

void ProgressMailbox::Report(const std::wstring& item, std::uint64_t done)
{
    const std::lock_guard lock(mutex_);
    if (latest_.item != item) latest_.item = item;
    latest_.done = done;
}

ProgressMailbox::Latest ProgressMailbox::Read() const
{
    const std::lock_guard lock(mutex_);
    return latest_;
}

frmProgress::frmProgress(const LongWorkSpec& design, const ProgressMailbox& mailbox, HWND owner)
    : Window({.caption = design.title,
              .clientSize = {6000, 2520},
              .backColour = GetSysColor(COLOR_BTNFACE),
              .border = Border::FixedDialog,
              .owner = owner}),
      lblCaption(*this, {.caption = design.caption, .place = {240, 240, 5520, 252}}, Label::Wrap::None),
      lblItem(*this, {.place = {240, 540, 5520, 252}}, Label::Wrap::None),
      prgDone(*this, {.place = {240, 900, 5520, 252}}),
      lblAmount(*this, {.place = {240, 1260, 5520, 252}}, Label::Wrap::None),
      lblTimeLeft(*this, {.place = {240, 1560, 5520, 252}}, Label::Wrap::None),
      cmdCancel(*this, {.caption = L"キャンセル", .place = {4440, 1980, 1320, 372}}),
      total_(design.total),
      mailbox_(mailbox),
      finishedTarget_(handle())
{
    cmdCancel.onClick = [this] { Cancel(); };
    SetCancelButton(cmdCancel);
    LayOut();
    CenterOnScreen();
    Refresh();
    SetTimer(handle(), kRefreshTimer, kRefreshMilliseconds, nullptr);
}

void frmProgress::PostFinished() const { PostMessageW(finishedTarget_, kFinished, 0, 0); }

LRESULT frmProgress::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam != kRefreshTimer) break;
        Refresh();
        return 0;
    case WM_CLOSE:
        Cancel();
        return 0;
    case kFinished:
        KillTimer(handle(), kRefreshTimer);
        Close();
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void frmProgress::Refresh()
{
    const ProgressMailbox::Latest latest = mailbox_.Read();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started_;
    const ProgressFigures figures = FiguresOf(latest.done, total_, elapsed.count());
    SetIfChanged(lblItem, latest.item);
    prgDone.SetPermille(figures.permille);
    SetIfChanged(lblAmount, figures.amount);
    if (cmdCancel.IsEnabled()) SetIfChanged(lblTimeLeft, figures.timeLeft);
}

void frmProgress::Cancel()
{
    if (!cmdCancel.IsEnabled()) return;
    cmdCancel.SetEnabled(false);
    lblTimeLeft.SetCaption(kCancelling);
    if (onCancel) onCancel();
}

}  // namespace korvane::ui
