// DbgHelp as the crash handler uses it. No minidump writer exists here: MiniDumpWriteDump
// writes a text report into the file instead: what raised the exception (the signal, or the
// C++ exception's type and text), the fault address, a backtrace of the crashing thread
// (resolve it later with addr2line) and a copy of /proc/self/maps.
#pragma once

#include <windows.h>

typedef enum _MINIDUMP_TYPE {
    MiniDumpNormal = 0x00000000,
} MINIDUMP_TYPE;

typedef struct _MINIDUMP_EXCEPTION_INFORMATION {
    DWORD ThreadId;
    PEXCEPTION_POINTERS ExceptionPointers;
    BOOL ClientPointers;
} MINIDUMP_EXCEPTION_INFORMATION, *PMINIDUMP_EXCEPTION_INFORMATION;

typedef struct _MINIDUMP_USER_STREAM_INFORMATION* PMINIDUMP_USER_STREAM_INFORMATION;
typedef struct _MINIDUMP_CALLBACK_INFORMATION* PMINIDUMP_CALLBACK_INFORMATION;

// Only the current process can be dumped. The exception information may be null (the
// report then says so). Safe to call from a signal handler: it allocates nothing. On
// failure returns FALSE and sets the last error.
BOOL MiniDumpWriteDump(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE dumpType,
                       PMINIDUMP_EXCEPTION_INFORMATION exceptionParam,
                       PMINIDUMP_USER_STREAM_INFORMATION userStreamParam,
                       PMINIDUMP_CALLBACK_INFORMATION callbackParam);
