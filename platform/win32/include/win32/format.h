// wsprintfW as the game's code expects it: the Windows rules, not the C library's.
//   %s wide string, %S narrow string (%ls / %hs say the same explicitly)
//   %c wide character, %C narrow character
//   %d %i %u %x %X 32-bit integers; I64 before them (%I64d...) for 64-bit ones
//   flags '-' (left-align), '0' (zero-pad), '#' (0x prefix for %x/%X); a width and, for
//   strings, a precision (maximum characters) or, for integers, a minimum digit count
//   %% a percent sign; any other conversion is copied as it stands
// The output is cut at 1024 characters including the terminator (the Windows limit); the
// result is the number of characters written without the terminator. Safe to call from a
// signal handler: it allocates nothing.
#pragma once

#include <cstdarg>

#include "win32/types.h"

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments);
