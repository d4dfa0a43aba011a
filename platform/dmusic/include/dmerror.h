// DirectMusic result codes (facility 0x878), the values the DirectX error-text table names.
#pragma once

#include <windows.h>

#define MORVALE_DMUS_ERROR(code) static_cast<HRESULT>(0x88780000u | (code))

// The performance was used before InitAudio.
constexpr HRESULT DMUS_E_NOT_INIT = MORVALE_DMUS_ERROR(0x162);
// InitAudio was called a second time.
constexpr HRESULT DMUS_E_ALREADY_INITED = MORVALE_DMUS_ERROR(0x151);
// The file does not exist or cannot be opened.
constexpr HRESULT DMUS_E_LOADER_FAILEDOPEN = MORVALE_DMUS_ERROR(0x182);
// The search folder does not exist.
constexpr HRESULT DMUS_E_LOADER_BADPATH = MORVALE_DMUS_ERROR(0x181);
// The loader cannot make objects of the requested class.
constexpr HRESULT DMUS_E_LOADER_NOCLASSID = MORVALE_DMUS_ERROR(0x180);
// The file holds no sound data that can be decoded.
constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = MORVALE_DMUS_ERROR(0x150);
// The segment has not been downloaded to this performance.
constexpr HRESULT DMUS_E_NOT_DOWNLOADED_TO_PORT = MORVALE_DMUS_ERROR(0x120);
// The audio path is not active.
constexpr HRESULT DMUS_E_AUDIOPATH_INACTIVE = MORVALE_DMUS_ERROR(0x229);
// A time or loop point lies outside the segment.
constexpr HRESULT DMUS_E_OUT_OF_RANGE = MORVALE_DMUS_ERROR(0x202);
// The performance has no default audio path.
constexpr HRESULT DMUS_E_NO_AUDIOPATH = MORVALE_DMUS_ERROR(0x22C);
// The audio path type is not supported.
constexpr HRESULT DMUS_E_AUDIOPATHS_NOT_VALID = MORVALE_DMUS_ERROR(0x226);
// The message was not allocated by this performance, or was already sent or freed.
constexpr HRESULT DMUS_E_CANNOT_FREE = MORVALE_DMUS_ERROR(0x205);
// The global parameter was never set.
constexpr HRESULT DMUS_E_GET_UNSUPPORTED = MORVALE_DMUS_ERROR(0x124);
// The audio output could not be started.
constexpr HRESULT DMUS_E_DRIVER_FAILED = MORVALE_DMUS_ERROR(0x101);
