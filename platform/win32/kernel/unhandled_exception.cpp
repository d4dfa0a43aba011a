// SetUnhandledExceptionFilter: fatal signals and std::terminate reach the filter.
//
// Everything the signal path touches lives in static storage: it allocates nothing and
// calls only async-signal-safe functions until the filter takes over.
#include <execinfo.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cxxabi.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "win32/exceptions.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> currentFilter{nullptr};
std::atomic<bool> handlersInstalled{false};
// Set by the first fatal event: a second one (the filter crashing, or a terminate that
// aborts) goes straight to the default action.
std::atomic<bool> crashing{false};

// Big enough for the filter's buffers and the unwinder, and for a stack overflow to
// still be reported.
alignas(16) char alternateStack[256 * 1024];

EXCEPTION_RECORD crashRecord;
CONTEXT crashContext;
EXCEPTION_POINTERS crashPointers;
char exceptionText[1024];

void resetToDefault(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

void callFilter() {
    const LPTOP_LEVEL_EXCEPTION_FILTER filter = currentFilter.load();
    if (filter != nullptr) {
        filter(&crashPointers);
    }
}

DWORD codeOfSignal(int signal, int code) {
    switch (signal) {
        case SIGSEGV:
            return EXCEPTION_ACCESS_VIOLATION;
        case SIGBUS:
            return EXCEPTION_IN_PAGE_ERROR;
        case SIGILL:
            return EXCEPTION_ILLEGAL_INSTRUCTION;
        case SIGFPE:
            return code == FPE_INTDIV ? EXCEPTION_INT_DIVIDE_BY_ZERO
                                      : EXCEPTION_FLT_INVALID_OPERATION;
        default:
            return STATUS_FATAL_APP_EXIT;
    }
}

void fillContext(void* signalContext) {
    crashContext = CONTEXT{};
    crashContext.SignalContext = signalContext;
#if defined(__x86_64__)
    if (signalContext != nullptr) {
        const auto* context = static_cast<const ucontext_t*>(signalContext);
        crashContext.InstructionPointer =
            static_cast<ULONG_PTR>(context->uc_mcontext.gregs[REG_RIP]);
        crashContext.StackPointer = static_cast<ULONG_PTR>(context->uc_mcontext.gregs[REG_RSP]);
    }
#elif defined(__aarch64__)
    if (signalContext != nullptr) {
        const auto* context = static_cast<const ucontext_t*>(signalContext);
        crashContext.InstructionPointer = static_cast<ULONG_PTR>(context->uc_mcontext.pc);
        crashContext.StackPointer = static_cast<ULONG_PTR>(context->uc_mcontext.sp);
    }
#endif
    crashPointers.ExceptionRecord = &crashRecord;
    crashPointers.ContextRecord = &crashContext;
}

void onFatalSignal(int signal, siginfo_t* info, void* signalContext) {
    if (!crashing.exchange(true)) {
        crashRecord = EXCEPTION_RECORD{};
        crashRecord.ExceptionCode = codeOfSignal(signal, info != nullptr ? info->si_code : 0);
        crashRecord.Signal = signal;
        crashRecord.SignalCode = info != nullptr ? info->si_code : 0;
        crashRecord.FaultAddress = info != nullptr ? info->si_addr : nullptr;
        fillContext(signalContext);
        crashRecord.ExceptionAddress = reinterpret_cast<void*>(crashContext.InstructionPointer);
        if (signal == SIGSEGV || signal == SIGBUS) {
            crashRecord.NumberParameters = 2;
            crashRecord.ExceptionInformation[1] =
                reinterpret_cast<ULONG_PTR>(crashRecord.FaultAddress);
        }
        callFilter();
    }
    // The process ends by the signal that brought it here. The signal stays blocked while
    // this handler runs, so it is delivered, with its default action, on return; a fault
    // that re-executes after the return meets the default action as well.
    resetToDefault(signal);
    raise(signal);
}

void copyText(char* out, std::size_t& used, std::size_t capacity, const char* text) {
    while (text != nullptr && *text != '\0' && used + 1 < capacity) {
        out[used++] = *text++;
    }
    out[used] = '\0';
}

// "type: what()" of the exception in flight, into exceptionText.
void describeCurrentException() {
    std::size_t used = 0;
    exceptionText[0] = '\0';
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) {
        copyText(exceptionText, used, sizeof exceptionText,
                 "std::terminate called without an active exception");
        return;
    }
    int status = 0;
    char* readable = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
    copyText(exceptionText, used, sizeof exceptionText,
             status == 0 && readable != nullptr ? readable : type->name());
    std::free(readable);
    try {
        throw;
    } catch (const std::exception& error) {
        copyText(exceptionText, used, sizeof exceptionText, ": ");
        copyText(exceptionText, used, sizeof exceptionText, error.what());
    } catch (...) {
    }
}

[[noreturn]] void onTerminate() {
    if (!crashing.exchange(true)) {
        describeCurrentException();
        crashRecord = EXCEPTION_RECORD{};
        crashRecord.ExceptionCode = EXCEPTION_CXX_EXCEPTION;
        crashRecord.Description = exceptionText;
        fillContext(nullptr);
        callFilter();
    }
    resetToDefault(SIGABRT);
    std::abort();
}

void installHandlers() {
    // The first backtrace loads the unwinder (and allocates): do it now, not in a crash.
    void* frames[2];
    backtrace(frames, 2);

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals) {
        sigaction(signal, &action, nullptr);
    }
    std::set_terminate(onTerminate);
}

}  // namespace

LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(LPTOP_LEVEL_EXCEPTION_FILTER filter) {
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = currentFilter.exchange(filter);
    if (filter != nullptr && !handlersInstalled.exchange(true)) {
        installHandlers();
    }
    return previous;
}

namespace win32::detail {

bool isCrashing() {
    return crashing.load();
}

}  // namespace win32::detail
