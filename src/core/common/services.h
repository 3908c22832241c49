#pragma once
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_comparer.h"
#include "platform/file_copier.h"
#include "platform/file_system.h"
#include "platform/long_work.h"
#include "platform/shell.h"
#include "platform/text_codec.h"

namespace korvane {

// The platform services, owned by the application (or by a test) and lent to whoever needs them.
struct Services {
    FileSystem& fileSystem;
    TextCodec& codec;
    Dialogs& dialogs;
    Shell& shell;
    Clock& clock;
    FileComparer& comparer;
    FileCopier& copier;
    LongWork& longWork;
};

}  // namespace korvane
