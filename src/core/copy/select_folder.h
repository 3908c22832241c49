#pragma once
#include <string>

#include "platform/dialogs.h"
#include "platform/window_handle.h"

namespace korvane {

// Lets the user pick a folder in the platform's folder dialog owned by `owner`, opening at `initialFolder`.
// Returns the chosen path whole, or empty text when nothing was chosen. When the dialog itself fails, its
// error number is shown ("ERROR: #5", title "ｴﾗｰ") and empty text is returned.
std::wstring SelectFolder(Dialogs& dialogs, WindowHandle owner, const std::wstring& initialFolder);

}  // namespace korvane
