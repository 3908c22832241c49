#pragma once
#include <string>

#include "core/common/services.h"
#include "core/settings/settings_store.h"
#include "platform/clock.h"
#include "platform/window_handle.h"

namespace korvane {

// The copy window's start button: checks that the destination exists, waits (Retry/Cancel) for the source, lists
// the source once into the run's plan (CopyPlan, behind the wait cursor; Esc ends the run), with
// `options.skipCopied` looks for the source's files among earlier copies under the destination and asks what to
// copy, asks for the new folder's name, refuses a copy that would read or create a path longer than the shell's
// copy takes, makes the new folder and copies the whole source folder (or only its new files) into it through the
// shell, with `options.verify` reads every planned file that was copied back and compares it (VerifyCopy), reports
// the outcome and offers the result in the explorer. With `options.backupFolder`, first refuses or asks about the
// backup folder (BackupFolderForRun), then copies into a new folder of the same name below it too, and checks and
// names both. `destinationText` and `sourceText` are the destination and
// source boxes' texts at the click; each is read only here.
void RunCopy(const Services& services, WindowHandle owner, const std::wstring& destinationText,
             const std::wstring& sourceText, const Options& options = {});

// The default name of the new folder for `date`: "yyyy_mmdd" (2 March 2027 gives "2027_0302").
std::wstring FolderNameForDate(const LocalDate& date);

}  // namespace korvane
