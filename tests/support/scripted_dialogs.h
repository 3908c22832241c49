#pragma once
// A Dialogs implementation for tests: records every box the program shows and answers from a script.
#include <deque>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs.h"

namespace korvane::testing {

struct PromptCall {
    std::wstring title;
    std::wstring prompt;
    std::wstring defaultText;
};

struct PickFolderCall {
    WindowHandle owner = nullptr;
    std::wstring title;
    std::wstring initialFolder;
};

class ScriptedDialogs : public Dialogs {
public:
    // What the next message box answers; `whileOpen` runs while the box is "open", before it answers.
    void AnswerMessage(MessageAnswer answer, std::function<void()> whileOpen = {})
    {
        messageScript_.push_back({answer, std::move(whileOpen)});
    }
    void AnswerPrompt(std::wstring text) { promptScript_.push_back(std::move(text)); }
    void AnswerPickFolder(FolderPick pick, std::function<void()> whileOpen = {})
    {
        pickScript_.push_back({std::move(pick), std::move(whileOpen)});
    }
    void AnswerFileDialog(std::optional<std::wstring> file) { fileScript_.push_back(std::move(file)); }
    // The wait numbered `number` (1 for the first the dialogs see) is stopped with Esc: its work meets a stop
    // already asked for.
    void StopWait(std::size_t number) { stoppedWait_ = number; }

    std::vector<MessageBoxSpec> messages;
    std::vector<PromptCall> prompts;
    std::vector<PickFolderCall> folderPicks;
    std::vector<FileDialogSpec> saveDialogs;
    std::vector<FileDialogSpec> openDialogs;
    std::vector<WindowHandle> waits;  // the owner of each wait

    // Without a scripted answer a box answers as a cautious user would: OK, No, Cancel, nothing chosen.
    MessageAnswer ShowMessage(const MessageBoxSpec& message) override
    {
        messages.push_back(message);
        if (messageScript_.empty()) return CautiousAnswer(message.buttons);
        auto step = std::move(messageScript_.front());
        messageScript_.pop_front();
        if (step.whileOpen) step.whileOpen();
        return step.answer;
    }

    std::wstring PromptInput(const std::wstring& title, const std::wstring& prompt,
                             const std::wstring& defaultText) override
    {
        prompts.push_back({title, prompt, defaultText});
        return TakeFront(promptScript_).value_or(std::wstring{});
    }

    FolderPick PickFolder(WindowHandle owner, const std::wstring& title,
                          const std::wstring& initialFolder) override
    {
        folderPicks.push_back({owner, title, initialFolder});
        if (pickScript_.empty()) return {};
        auto step = std::move(pickScript_.front());
        pickScript_.pop_front();
        if (step.whileOpen) step.whileOpen();
        return step.pick;
    }

    std::optional<std::wstring> ChooseSaveFile(const FileDialogSpec& options) override
    {
        saveDialogs.push_back(options);
        return TakeFront(fileScript_).value_or(std::nullopt);
    }

    std::optional<std::wstring> ChooseOpenFile(const FileDialogSpec& options) override
    {
        openDialogs.push_back(options);
        return TakeFront(fileScript_).value_or(std::nullopt);
    }

    // The work runs at once, on the caller's thread.
    bool WaitFor(WindowHandle owner, const std::function<void(std::stop_token)>& work) override
    {
        waits.push_back(owner);
        std::stop_source stop;
        if (stoppedWait_ == waits.size()) {
            stop.request_stop();
            stoppedWait_.reset();
        }
        work(stop.get_token());
        return !stop.stop_requested();
    }

    bool ScriptUsedUp() const
    {
        return messageScript_.empty() && promptScript_.empty() && pickScript_.empty() && fileScript_.empty() &&
               !stoppedWait_;
    }

private:
    struct MessageStep {
        MessageAnswer answer;
        std::function<void()> whileOpen;
    };
    struct PickStep {
        FolderPick pick;
        std::function<void()> whileOpen;
    };

    static MessageAnswer CautiousAnswer(MessageButtons buttons)
    {
        switch (buttons) {
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::RetryCancel:
        case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
        case MessageButtons::Ok: break;
        }
        return MessageAnswer::Ok;
    }

    template <typename T>
    static std::optional<T> TakeFront(std::deque<T>& script)
    {
        if (script.empty()) return std::nullopt;
        T front = std::move(script.front());
        script.pop_front();
        return front;
    }

    std::deque<MessageStep> messageScript_;
    std::deque<std::wstring> promptScript_;
    std::deque<PickStep> pickScript_;
    std::deque<std::optional<std::wstring>> fileScript_;
    std::optional<std::size_t> stoppedWait_;
};

}  // namespace korvane::testing
