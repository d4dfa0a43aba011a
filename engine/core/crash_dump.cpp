#include "engine/core/crash_dump.h"

#include <dbghelp.h>

namespace kesh {

namespace {

constexpr int kAppNameLength = 128;

// Filled once at start-up; the crash path only reads it.
wchar_t applicationName[kAppNameLength];

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The folder the dump goes to, with its trailing separator.
void dumpFolder(wchar_t (&folder)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), folder, MAX_PATH);
    // A path that filled the whole buffer was cut: its folder cannot be trusted.
    if (length > 0 && length < MAX_PATH) {
        // The program's path here has '/' separators, Windows' has '\': cut at either.
        for (DWORD i = length; i > 0; --i) {
            if (isSeparator(folder[i - 1])) {
                folder[i] = L'\0';
                return;
            }
        }
    }
    const DWORD tempLength = GetTempPathW(MAX_PATH, folder);
    if (tempLength > 0 && tempLength < MAX_PATH) {
        return;
    }
    wsprintfW(folder, L"%s", L"c:\\temp\\");
}

}  // namespace

void installCrashHandler(const wchar_t* appName) {
    int length = 0;
    while (appName != nullptr && appName[length] != L'\0' && length < kAppNameLength - 1) {
        applicationName[length] = appName[length];
        ++length;
    }
    applicationName[length] = L'\0';
    SetUnhandledExceptionFilter(writeCrashDump);
}

LONG writeCrashDump(EXCEPTION_POINTERS* exceptionPointers) noexcept {
    LONG result = EXCEPTION_CONTINUE_SEARCH;

    SYSTEMTIME time{};
    GetSystemTime(&time);
    wchar_t suffix[64];
    wsprintfW(suffix, L"-crash-%02d_%02d_%02d-%02d_%02d-%02d", time.wYear % 100, time.wMonth,
              time.wDay, time.wHour, time.wMinute, time.wSecond);

    wchar_t folder[MAX_PATH];
    dumpFolder(folder);
    wchar_t fileName[1024];
    wsprintfW(fileName, L"%s%s%s.dmp", folder, applicationName, suffix);

    wchar_t message[1024];
    HANDLE file = CreateFileW(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        wsprintfW(message, L"Failed to create dump file '%s' (error %d)", fileName, GetLastError());
    } else {
        MINIDUMP_EXCEPTION_INFORMATION information{GetCurrentThreadId(), exceptionPointers, FALSE};
        if (MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                              &information, nullptr, nullptr)) {
            wsprintfW(message, L"Saved dump file to '%s'", fileName);
            result = EXCEPTION_EXECUTE_HANDLER;
        } else {
            wsprintfW(message, L"Failed to save dump file to '%s' (error %d)", fileName,
                      GetLastError());
        }
        CloseHandle(file);
    }
    MessageBoxW(nullptr, message, applicationName, MB_OK);
    return result;
}

}  // namespace kesh
