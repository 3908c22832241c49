#pragma once
// The services of the verified copy's pass and the own copy in a benchmark: the real comparer and copier behind the
// real progress window; the rest is never asked.
#include <windows.h>

#include "core/common/services.h"
#include "platform/win32/win32_file_comparer.h"
#include "platform/win32/win32_file_copier.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text_codec.h"
#include "support/fixed_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "ui/progress/win32_long_work.h"

namespace korvane::bench {

struct PassServices {
    Win32FileSystem fileSystem;
    Win32TextCodec codec{GetACP()};
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2027, 3, 2}};
    Win32FileComparer comparer;
    Win32FileCopier copier;
    ui::Win32LongWork longWork;
    Services services{fileSystem, codec, dialogs, shell, clock, comparer, copier, longWork};
};

}  // namespace korvane::bench
