// Shared by the kernel layer's own files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "win32/types.h"

namespace win32::detail {

// OS bytes to wide text, one byte per unit (the rule of win32/kernel.h).
std::wstring widenBytes(const char* bytes, std::size_t length);

// Copies text out the way the folder calls do: the length without the terminator when
// it fits in bufferLength characters, else the length needed with the terminator and the
// buffer untouched. Safe in a signal handler.
DWORD copyOut(const wchar_t* text, std::size_t length, DWORD bufferLength, LPWSTR buffer);
// The same from OS bytes, widened on the way.
DWORD copyOutBytes(const char* bytes, std::size_t length, DWORD bufferLength, LPWSTR buffer);

// One unit as OS bytes into out (room for 4); returns the count. Safe in a signal handler.
std::size_t encodeUnit(wchar_t unit, char* out, bool toPath);

// Writes wide text to a file descriptor in the OS encoding. Safe in a signal handler.
void writeWide(int fd, const wchar_t* text);
void writeBytes(int fd, const char* bytes, std::size_t length);

// The test overrides of win32/seams.h, read by the calls they replace.
std::optional<std::wstring>& commandLineOverride();
std::optional<std::wstring>& modulePathOverride();
std::optional<std::wstring>& currentDirectoryOverride();
std::optional<std::wstring>& tempPathOverride();

// The executable's path as OS bytes, terminated; the length, or -1. Safe in a signal
// handler.
long readExecutablePath(char* out, std::size_t capacity);

// Seconds and nanoseconds since 1970-01-01 UTC as a calendar time (proleptic Gregorian).
// Safe in a signal handler, unlike gmtime_r, which takes a lock in glibc.
SYSTEMTIME systemTimeFromUnixTime(long long seconds, long nanoseconds);

// Where MessageBoxW shows a box beyond standard error (the window layer's SDL box, once
// its video system is up); null for standard error only.
using MessageBoxPresenter = void (*)(const std::wstring& text, const std::wstring& caption);
void setMessageBoxPresenter(MessageBoxPresenter presenter);

// True from the first fatal signal or terminate on: nothing may allocate or call into SDL.
bool isCrashing();

}  // namespace win32::detail
