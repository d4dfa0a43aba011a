// Win32 kernel calls over POSIX. Paths are wide strings; '/' and '\' are both accepted.
//
// Wide text and the OS: this platform's wchar_t is 32-bit and the game narrows wide text by
// keeping the low 8 bits of each unit. So the layer widens OS bytes one byte per unit, and
// hands wide text back to the OS with units up to 0xFF as the byte itself and larger units
// as UTF-8. A path read from the OS therefore survives any round trip the game makes.
#pragma once

#include "win32/types.h"

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define INVALID_FILE_SIZE 0xFFFFFFFFu

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_TOO_MANY_OPEN_FILES 4u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_WRITE_FAULT 29u
#define ERROR_READ_FAULT 30u
#define ERROR_GEN_FAILURE 31u
#define ERROR_FILE_EXISTS 80u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_INVALID_NAME 123u
#define ERROR_MOD_NOT_FOUND 126u
#define ERROR_FILENAME_EXCED_RANGE 206u

#define MB_OK 0x00000000u
#define IDOK 1

typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// The performance counter: a monotonic clock of 1e9 ticks a second.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

void Sleep(DWORD milliseconds);
// UTC. Safe to call from a signal handler.
void GetSystemTime(LPSYSTEMTIME time);

// Per thread, as on Windows.
DWORD GetLastError();
void SetLastError(DWORD error);

// Folders and the program's own path. Lengths are in characters, without the terminator;
// 0 reports a failure. GetCurrentDirectoryW and GetTempPathW return the length needed
// (terminator included) and leave the buffer untouched when it is too small.
// GetModuleFileNameW truncates to size - 1 characters, returns size and sets
// ERROR_INSUFFICIENT_BUFFER when the path does not fit.
DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer);
// $TMPDIR or /tmp/, always ending in a separator.
DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer);
// Only the executable itself (a null name) has a handle.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// The quoted absolute executable path followed by the arguments the entry point recorded
// (win32/process.h); an argument that is empty or holds a blank is quoted. The game splits
// it at blanks and double quotes, with no escapes.
LPWSTR GetCommandLineW();

// Files: GENERIC_READ with OPEN_EXISTING, GENERIC_WRITE with any creation mode. Sharing
// modes, security attributes, flags and templates have no meaning here and are ignored.
// Failure returns INVALID_HANDLE_VALUE and sets the last error.
HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
// The low 32 bits of the size; the high ones go to fileSizeHigh when it is given.
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL CloseHandle(HANDLE object);

// The process and thread identities the dump writer takes. GetCurrentProcess returns the
// pseudo handle -1, as on Windows.
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();

// Text to standard error (or the test sink of win32/seams.h).
void OutputDebugStringW(LPCWSTR text);
// Until the window layer shows a real box: "caption: text" on standard error, answering
// IDOK at once (or the test handler of win32/seams.h).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
