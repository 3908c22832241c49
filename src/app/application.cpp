#include "app/application.h"

namespace korvane {

Application::Application()
    : codec_(GetACP()), services_{fileSystem_, codec_, dialogs_, shell_, clock_}
{
}

int Application::Run()
{
    ShowCopyWindow();
    MSG message;
    while (AnyWindowOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!ui::Window::TranslateDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        LetClosedWindowsGo();
    }
    return 0;
}

void Application::ShowCopyWindow()
{
    if (!copyWindow_ || !copyWindow_->IsOpen()) {
        copyWindow_ = std::make_unique<ui::frmCopy>(settings_, services_, [this] { EndProgram(); });
        copyWindow_->onClosed = [this] { OnWindowClosed(); };
    }
    copyWindow_->Show();
}

void Application::EndProgram()
{
    if (copyWindow_) copyWindow_->Close();
    PostQuitMessage(0);
}

void Application::OnWindowClosed()
{
    if (!AnyWindowOpen()) PostQuitMessage(0);
}

bool Application::AnyWindowOpen() const { return copyWindow_ && copyWindow_->IsOpen(); }

void Application::LetClosedWindowsGo()
{
    if (copyWindow_ && !copyWindow_->IsOpen()) copyWindow_.reset();
}

}  // namespace korvane
