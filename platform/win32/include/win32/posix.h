// For the other platform libraries only (never the game): the POSIX side of kernel objects.
#pragma once

#include "win32/types.h"

namespace win32 {

// The file descriptor behind a file handle from CreateFileW, or -1.
int fileDescriptorOf(HANDLE file);

// The Win32 error code closest to an errno value.
DWORD errorFromErrno(int error);

// Wide text to OS bytes (units up to 0xFF as the byte, larger ones as UTF-8), '\' turned
// into '/' when toPath is set. Writes at most capacity - 1 bytes and a terminator; returns
// the full length the text needs, so a result >= capacity means it was cut. Safe in a
// signal handler.
std::size_t encodeForOs(const wchar_t* text, char* out, std::size_t capacity, bool toPath);

}  // namespace win32
