#pragma once
#include <string>

#include "core/common/services.h"
#include "core/settings/settings_store.h"

namespace korvane {

enum class LoadResult {
    Read,     // the file was read; a content that breaks the format was shown, and what came before it kept
    NoFile,   // no ordinary file is there; nothing was shown
    Refused,  // the file could not be looked up or read, or is too large; a message named it
};

// Fills `store` from the settings file at `path` (the default file when empty). A missing file only empties the
// destination list. So does a file that cannot be looked up or read, or is larger than FileSystem::kReadLimit,
// after a message that names the file and ends with the line `refusalNote` when one is given. A file whose
// content breaks the format is shown to the user as a reading failure, after which the store keeps what was
// read before it. No exception leaves it.
LoadResult LoadSettings(SettingsStore& store, Services& services, const std::wstring& path = {},
                        const std::wstring& refusalNote = {});

}  // namespace korvane
