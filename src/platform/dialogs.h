#pragma once
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/window_handle.h"

namespace korvane {

enum class MessageIcon { None, Critical, Exclamation, Question, Information };
enum class MessageButtons { Ok, YesNo, RetryCancel, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Retry, Cancel };

struct MessageBoxSpec {
    std::wstring text;  // line breaks are CR LF
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool secondButtonDefault = false;
    std::wstring title;
    bool operator==(const MessageBoxSpec&) const = default;
};

// What the folder picker gave: a path, empty text when nothing was chosen, or the error number of a failure.
struct FolderPick {
    std::wstring path;
    std::optional<int> errorNumber;
};

struct FileDialogSpec {
    std::wstring filter;  // "description|pattern" pairs, as "設定ファイル(*.ini)|*.ini"
    std::wstring title;
    bool askBeforeReplacing = false;  // a chosen file that exists is replaced only after the user agrees
    bool hideReadOnly = false;        // no "open as read-only" check box
    bool fileMustExist = false;       // only a file that exists can be chosen
};

// Every modal box of the program, and its one modal wait. No call throws Failure: a message box that cannot be
// shown answers with its cautious answer (No, Cancel; Cancel for Yes/No/Cancel), a folder picker that fails gives
// its error number. The real implementation owns its boxes by the active window of the user-interface thread; the
// test implementation records each call and answers from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(const MessageBoxSpec& message) = 0;
    // Modal input prompt: the typed text on OK, empty text on Cancel, Esc or the close box.
    virtual std::wstring PromptInput(const std::wstring& title, const std::wstring& prompt,
                                     const std::wstring& defaultText) = 0;
    virtual FolderPick PickFolder(WindowHandle owner, const std::wstring& title,
                                  const std::wstring& initialFolder) = 0;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::wstring> ChooseSaveFile(const FileDialogSpec& options) = 0;
    virtual std::optional<std::wstring> ChooseOpenFile(const FileDialogSpec& options) = 0;
    // Runs `work` off the user-interface thread while the user waits: `owner` shows the wait cursor and takes
    // no input but Esc, which asks the work to stop through its stop token. Returns once the work has returned:
    // false when Esc asked it to stop, true otherwise. What the work throws is thrown again here.
    virtual bool WaitFor(WindowHandle owner, const std::function<void(std::stop_token)>& work) = 0;
};

}  // namespace korvane
