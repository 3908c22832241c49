#pragma once
// What the settings window and the password dialog decide, apart from their controls: what the window shows of
// the settings, and how its working copy is saved, exported and imported.
#include <string>

#include "core/common/services.h"
#include "core/settings/settings_store.h"

namespace korvane {

// What the settings window shows of `store`: a registered slot checked with its name and path, an unregistered
// one unchecked and empty (its stored texts are not shown); the destinations in order; the password; the
// options.
SettingsStore WorkingCopyOf(const SettingsStore& store);

// Saves the window's working copy to data.ini beside the program. A save that cannot be made is shown to the
// user, naming the file and the reason, and the file stays as it was; returns whether it was saved.
bool SaveSettingsFile(const SettingsStore& content, Services& services);

// The export button: asks for a file ("外部に保存") and saves the working copy there, as a fresh file (no line of
// data.ini or of the file replaced is carried over). Nothing happens when the user cancels; a failed save is
// shown.
void ExportSettings(const SettingsStore& content, Services& services);

// The import button: asks for a file ("外部から読み込み"), then whether the window's settings may be replaced,
// and reads the file into `imported` (a reading failure is shown, and what was read before it is kept). Returns
// whether the window is to show `imported`: false when the user cancelled either question, and when the file
// could not be read at all (gone, locked, too large, its look-up failing), which a message names, adding that
// the window keeps its settings. The settings file beside the program is not touched.
bool ImportSettings(SettingsStore& imported, Services& services);

// The password dialog's OK: whether `typed` is the stored password, exactly (case, blanks, width, length).
// A wrong one is shown ("パスワードが違います").
bool CheckPassword(const SettingsStore& store, const std::wstring& typed, Dialogs& dialogs);

// Whether the settings window is guarded by the password dialog: any password but the empty text.
inline bool PasswordIsSet(const SettingsStore& store) { return !store.password.empty(); }

}  // namespace korvane
