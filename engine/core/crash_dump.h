// The crash handler: when an exception or a fatal signal escapes everything, a dump file
// named application name + "-crash-YY_MM_DD-HH_MM-SS.dmp" (UTC) is written in the program's
// folder (else the temp folder, else "c:\temp\") and a message box says where.
#pragma once

#include <windows.h>

namespace kesh {

// Keeps at most 127 characters of appName for the dump's name and the box's caption, and
// installs writeCrashDump as the unhandled-exception filter. Called once, at start-up.
void installCrashHandler(const wchar_t* appName);

// The unhandled-exception filter: 1 when the dump was saved, else 0; the process ends
// either way. Never throws and allocates nothing (it runs inside a signal handler).
LONG writeCrashDump(EXCEPTION_POINTERS* exceptionPointers) noexcept;

}  // namespace kesh
