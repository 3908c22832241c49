#include "ui/dialogs/input_prompt.h"

#include <algorithm>

#include "ui/controls/message_font.h"
#include "ui/twips.h"

namespace korvane::ui {

namespace {

constexpr int kMargin = 120;
constexpr int kPromptWidth = 4500;
constexpr int kMinimumPromptHeight = 1080;
constexpr int kButtonLeft = kMargin + kPromptWidth + 180;
constexpr int kButtonWidth = 1080;
constexpr int kButtonHeight = 360;
constexpr int kClientWidth = kButtonLeft + kButtonWidth + kMargin;
constexpr int kInputHeight = 300;

// The height in twips that the prompt needs when its lines are wrapped to the prompt's width.
int MeasurePrompt(const std::wstring& prompt)
{
    const unsigned dpi = GetDpiForSystem();
    const UniqueFont font = CreateMessageFont(dpi);
    const UniqueScreenDC screen(GetDC(nullptr));
    const auto selection = SelectForScope(screen.get(), font.get());
    RECT area{0, 0, TwipsToPixels(kPromptWidth, dpi), 0};
    DrawTextW(screen.get(), prompt.c_str(), static_cast<int>(prompt.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return std::max(kMinimumPromptHeight, PixelsToTwips(area.bottom, dpi) + 60);
}

}  // namespace

InputPrompt::InputPrompt(HWND owner, const std::wstring& title, const std::wstring& prompt,
                         const std::wstring& defaultText)
    : InputPrompt(owner, title, prompt, defaultText, MeasurePrompt(prompt))
{
}

InputPrompt::InputPrompt(HWND owner, const std::wstring& title, const std::wstring& prompt,
                         const std::wstring& defaultText, int promptHeight)
    : Window({.caption = title,
              .clientSize = {kClientWidth, kMargin + promptHeight + kMargin + kInputHeight + kMargin + 60},
              .backColour = GetSysColor(COLOR_BTNFACE),
              .owner = owner}),
      txtInput(*this, {.place = {kMargin, kMargin + promptHeight + kMargin, kClientWidth - 2 * kMargin, kInputHeight}}),
      cmdOK(*this, {.caption = L"OK", .place = {kButtonLeft, kMargin, kButtonWidth, kButtonHeight}}),
      cmdCancel(*this, {.caption = L"キャンセル",
                        .place = {kButtonLeft, kMargin + kButtonHeight + 120, kButtonWidth, kButtonHeight}}),
      lblPrompt(*this, {.caption = prompt, .place = {kMargin, kMargin, kPromptWidth, promptHeight}})
{
    txtInput.SetText(defaultText);
    cmdOK.onClick = [this] {
        answer_ = txtInput.Text();
        Close();
    };
    cmdCancel.onClick = [this] { Close(); };
    SetDefaultButton(cmdOK);
    SetCancelButton(cmdCancel);
    LayOut();
}

std::wstring InputPrompt::Run()
{
    ShowModal();
    return answer_;
}

}  // namespace korvane::ui
