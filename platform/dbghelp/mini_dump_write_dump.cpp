// MiniDumpWriteDump: the text report that stands in for a minidump.
#include <dbghelp.h>
#include <execinfo.h>
#include <signal.h>

#include "report/report_writer.h"
#include "win32/posix.h"

namespace {

constexpr int kMaxFrames = 128;

const char* signalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return "SIGSEGV (segmentation fault)";
        case SIGBUS:
            return "SIGBUS (bus error)";
        case SIGFPE:
            return "SIGFPE (arithmetic exception)";
        case SIGILL:
            return "SIGILL (illegal instruction)";
        case SIGABRT:
            return "SIGABRT (abort)";
        default:
            return "signal";
    }
}

void describeException(dbghelp::ReportWriter& out, const EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers != nullptr ? pointers->ExceptionRecord : nullptr;
    if (record == nullptr) {
        out.text("Exception: none given\n");
        return;
    }
    out.text("Exception code: ").hex32(record->ExceptionCode).text("\n");
    if (record->Signal != 0) {
        out.text("Signal: ").decimal(record->Signal).text(" ").text(signalName(record->Signal));
        out.text(", code ").decimal(record->SignalCode).text("\n");
        out.text("Fault address: ")
            .address(reinterpret_cast<std::uintptr_t>(record->FaultAddress))
            .text("\n");
    }
    if (record->Description != nullptr) {
        out.text("Unhandled C++ exception: ").text(record->Description).text("\n");
    }
    const CONTEXT* context = pointers->ContextRecord;
    if (context != nullptr && context->InstructionPointer != 0) {
        out.text("Instruction pointer: ").address(context->InstructionPointer).text("\n");
        out.text("Stack pointer: ").address(context->StackPointer).text("\n");
    }
}

}  // namespace

BOOL MiniDumpWriteDump(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE /*dumpType*/,
                       PMINIDUMP_EXCEPTION_INFORMATION exceptionParam,
                       PMINIDUMP_USER_STREAM_INFORMATION /*userStreamParam*/,
                       PMINIDUMP_CALLBACK_INFORMATION /*callbackParam*/) {
    if (process != GetCurrentProcess() || processId != GetCurrentProcessId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int fd = win32::fileDescriptorOf(file);
    if (fd < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    dbghelp::ReportWriter out(fd);
    out.text("Crash report\n");
    out.text("Process: ").decimal(processId);
    out.text(", thread: ")
        .decimal(exceptionParam != nullptr ? exceptionParam->ThreadId : GetCurrentThreadId())
        .text("\n");
    describeException(out, exceptionParam != nullptr ? exceptionParam->ExceptionPointers : nullptr);

    out.text("\nBacktrace:\n");
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    if (out.error() == 0) {
        backtrace_symbols_fd(frames, count, fd);
    }

    out.text("\nMemory map:\n");
    if (!out.copyFile("/proc/self/maps")) {
        out.text("(unavailable)\n");
    }
    if (out.error() != 0) {
        SetLastError(win32::errorFromErrno(out.error()));
        return FALSE;
    }
    return TRUE;
}
