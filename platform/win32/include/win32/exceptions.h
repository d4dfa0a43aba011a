// Unhandled exceptions: fatal signals and C++ exceptions that reach std::terminate end in
// the filter installed with SetUnhandledExceptionFilter.
//
// The first call with a filter installs, for the life of the process, handlers for SIGSEGV,
// SIGBUS, SIGFPE, SIGILL and SIGABRT on an alternate stack, and a std::terminate handler.
// Each fills an EXCEPTION_POINTERS record (this layer's own, below) and calls the filter
// once; then the process ends: a signal is raised again with its default action, a
// terminate ends in abort() (SIGABRT) with the default action. Whatever the filter returns,
// the process ends. A filter that crashes itself is not called again.
//
// The filter runs inside a signal handler: it must allocate nothing and use only calls that
// are safe there (the kernel layer's file, folder, time, wsprintfW and MessageBoxW calls
// are, unless a test seam of win32/seams.h is set).
#pragma once

#include "win32/types.h"

#define EXCEPTION_EXECUTE_HANDLER 1
#define EXCEPTION_CONTINUE_SEARCH 0
#define EXCEPTION_CONTINUE_EXECUTION (-1)

#define EXCEPTION_ACCESS_VIOLATION 0xC0000005u
#define EXCEPTION_IN_PAGE_ERROR 0xC0000006u
#define EXCEPTION_ILLEGAL_INSTRUCTION 0xC000001Du
#define EXCEPTION_FLT_INVALID_OPERATION 0xC0000090u
#define EXCEPTION_INT_DIVIDE_BY_ZERO 0xC0000094u
#define STATUS_FATAL_APP_EXIT 0x40000015u
// The code Windows gives a C++ exception ("msc" in ASCII).
#define EXCEPTION_CXX_EXCEPTION 0xE06D7363u

#define EXCEPTION_MAXIMUM_PARAMETERS 15

typedef struct _EXCEPTION_RECORD {
    DWORD ExceptionCode;
    DWORD ExceptionFlags;
    struct _EXCEPTION_RECORD* ExceptionRecord;
    // The instruction that faulted (a signal), null for a C++ exception.
    void* ExceptionAddress;
    DWORD NumberParameters;
    // For an access violation: [0] 0, [1] the address that was accessed.
    ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
    // This layer's own: what raised it.
    int Signal;          // the POSIX signal, 0 for a C++ exception
    int SignalCode;      // its si_code
    void* FaultAddress;  // its si_addr
    // For a C++ exception: its type and what(), as "type: text"; null for a signal.
    const char* Description;
} EXCEPTION_RECORD, *PEXCEPTION_RECORD;

typedef struct _CONTEXT {
    // The ucontext_t of the signal handler, null for a C++ exception.
    void* SignalContext;
    ULONG_PTR InstructionPointer;
    ULONG_PTR StackPointer;
} CONTEXT, *PCONTEXT;

typedef struct _EXCEPTION_POINTERS {
    PEXCEPTION_RECORD ExceptionRecord;
    PCONTEXT ContextRecord;
} EXCEPTION_POINTERS, *PEXCEPTION_POINTERS;

typedef LONG (*LPTOP_LEVEL_EXCEPTION_FILTER)(EXCEPTION_POINTERS* exceptionInfo);
typedef LPTOP_LEVEL_EXCEPTION_FILTER PTOP_LEVEL_EXCEPTION_FILTER;

// Returns the previous filter. A null filter keeps the handlers but calls nothing.
LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter);
