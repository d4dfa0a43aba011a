// DirectMusic result codes (facility 0x878). The DirectX error-text table names them.
#pragma once

#include <windows.h>

#define MORVALE_DMUS_ERROR(code) static_cast<HRESULT>(0x88780000u | (code))

// The performance was used before InitAudio.
constexpr HRESULT DMUS_E_NOT_INIT = MORVALE_DMUS_ERROR(0x1200);
// InitAudio was called a second time.
constexpr HRESULT DMUS_E_ALREADY_INITED = MORVALE_DMUS_ERROR(0x1201);
// The file does not exist or cannot be opened.
constexpr HRESULT DMUS_E_LOADER_FAILEDOPEN = MORVALE_DMUS_ERROR(0x1202);
// The search folder does not exist.
constexpr HRESULT DMUS_E_LOADER_BADPATH = MORVALE_DMUS_ERROR(0x1203);
// The loader cannot make objects of the requested class.
constexpr HRESULT DMUS_E_LOADER_NOCLASSID = MORVALE_DMUS_ERROR(0x1204);
// The file holds no sound data that can be decoded.
constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = MORVALE_DMUS_ERROR(0x1205);
// The segment has not been downloaded to this performance.
constexpr HRESULT DMUS_E_NOT_DOWNLOADED_TO_DEST = MORVALE_DMUS_ERROR(0x1206);
// The audio path is not active.
constexpr HRESULT DMUS_E_AUDIOPATH_INACTIVE = MORVALE_DMUS_ERROR(0x1207);
// A time or loop point lies outside the segment.
constexpr HRESULT DMUS_E_OUT_OF_RANGE = MORVALE_DMUS_ERROR(0x1208);
// The performance has no default audio path.
constexpr HRESULT DMUS_E_NO_AUDIOPATH = MORVALE_DMUS_ERROR(0x1209);
// The audio path type is not supported.
constexpr HRESULT DMUS_E_AUDIOPATH_NOTSUPPORTED = MORVALE_DMUS_ERROR(0x120A);
// The message was not allocated by this performance, or was already sent or freed.
constexpr HRESULT DMUS_E_CANNOT_FREE = MORVALE_DMUS_ERROR(0x120B);
// The global parameter was never set.
constexpr HRESULT DMUS_E_GET_UNSUPPORTED = MORVALE_DMUS_ERROR(0x120C);
// The audio output could not be started.
constexpr HRESULT DMUS_E_AUDIO_OUTPUT_FAILED = MORVALE_DMUS_ERROR(0x120D);
