// Test seams of the kernel layer: what tests (and nothing else) use to observe or steer the
// process-wide kernel services. Every setter returns the previous setting, so a test can put
// it back; an empty function or std::nullopt restores the real behaviour.
//
// A seam that is set is ordinary C++ (std::function, std::wstring): the crash path stays
// safe in a signal handler only while the message-box handler and the system-time source
// are unset. The path overrides are read without allocating and are safe there.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "win32/types.h"

namespace win32 {

// OutputDebugStringW text goes to the sink instead of standard error.
using DebugOutputSink = std::function<void(const std::wstring&)>;
DebugOutputSink setDebugOutputSink(DebugOutputSink sink);

// MessageBoxW calls go to the handler, whose result MessageBoxW returns, instead of
// standard error. The handler must not block.
struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};
using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

// Values that replace what the process would report. The module path is what
// GetModuleFileNameW returns (the crash dump lands in its folder); the temp path should end
// in a separator, as GetTempPathW's does.
std::optional<std::wstring> overrideCommandLine(std::optional<std::wstring> commandLine);
std::optional<std::wstring> overrideModulePath(std::optional<std::wstring> path);
std::optional<std::wstring> overrideCurrentDirectory(std::optional<std::wstring> path);
std::optional<std::wstring> overrideTempPath(std::optional<std::wstring> path);

// QueryPerformanceCounter reads the source instead of the monotonic clock;
// QueryPerformanceFrequency reports the frequency given (0 restores 1e9; 0 is also what
// the first call returns as the previous setting).
using CounterSource = std::function<LONGLONG()>;
CounterSource setPerformanceCounterSource(CounterSource source);
LONGLONG setPerformanceFrequency(LONGLONG ticksPerSecond);

// Sleep calls the recorder instead of sleeping.
using SleepRecorder = std::function<void(DWORD milliseconds)>;
SleepRecorder setSleepRecorder(SleepRecorder recorder);

// GetSystemTime reports what the source gives instead of the real UTC time.
using SystemTimeSource = std::function<SYSTEMTIME()>;
SystemTimeSource setSystemTimeSource(SystemTimeSource source);

}  // namespace win32
