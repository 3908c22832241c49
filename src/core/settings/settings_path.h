#pragma once
#include <string>

#include "platform/file_system.h"

namespace korvane {

// "data.ini" in the executable's folder: the settings file used when no other path is given.
inline std::wstring DefaultSettingsPath(const FileSystem& fileSystem)
{
    return fileSystem.ExecutableFolder() + L"\\data.ini";
}

}  // namespace korvane
