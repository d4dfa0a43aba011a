// The identities of the process and its thread, and the per-thread last error.
#include <unistd.h>

#include "win32/kernel.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

}  // namespace

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(::gettid());
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD error) {
    lastError = error;
}
