#pragma once
// The backup folder (Options::backupFolder): each card is copied below the destination and below it, into new
// folders of the same name. What the run asks of it before anything is copied.
#include <optional>
#include <string>

#include "core/common/services.h"

namespace korvane {

// The backup folder the run copies to as well: empty for none (no folder set, or the user chose to copy to the
// destination alone); nothing when the run ends here.
// A backup folder that is the destination folder itself, lies in the card's folder (the copy would copy into
// itself) or stands on the card's drive (a card is no backup) is refused with a message naming it; the texts are
// compared, and, where the file system tells, the folders' identities (another drive letter or a link that leads
// to the same folder). One that is not there (its disk not plugged in) gives a question that names it and offers
// to copy to the destination alone; No, the default, ends the run.
std::optional<std::wstring> BackupFolderForRun(const Services& services, const std::wstring& backupFolder,
                                               const std::wstring& destination, const std::wstring& source);

// How the outcome of a run with a backup folder names its copy number `copy` (0 the destination's, 1 the
// backup's) made in `target`: "保存先：D:\Photos\2027_0302", "バックアップ：F:\Backup\2027_0302".
std::wstring CopyLabel(std::size_t copy, const std::wstring& target);

}  // namespace korvane
