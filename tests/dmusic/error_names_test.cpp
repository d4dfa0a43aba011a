#include <dmerror.h>
#include <dxerr9.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

// A failure the audio layer returns must reach the log with its name, not as "Unknown".
TEST(DirectMusicErrors, EveryCodeTheLayerReturnsHasAName) {
    const std::pair<HRESULT, std::string> codes[] = {
        {DMUS_E_NOT_INIT, "DMUS_E_NOT_INIT"},
        {DMUS_E_ALREADY_INITED, "DMUS_E_ALREADY_INITED"},
        {DMUS_E_LOADER_FAILEDOPEN, "DMUS_E_LOADER_FAILEDOPEN"},
        {DMUS_E_LOADER_BADPATH, "DMUS_E_LOADER_BADPATH"},
        {DMUS_E_LOADER_NOCLASSID, "DMUS_E_LOADER_NOCLASSID"},
        {DMUS_E_UNSUPPORTED_STREAM, "DMUS_E_UNSUPPORTED_STREAM"},
        {DMUS_E_NOT_DOWNLOADED_TO_PORT, "DMUS_E_NOT_DOWNLOADED_TO_PORT"},
        {DMUS_E_AUDIOPATH_INACTIVE, "DMUS_E_AUDIOPATH_INACTIVE"},
        {DMUS_E_OUT_OF_RANGE, "DMUS_E_OUT_OF_RANGE"},
        {DMUS_E_NO_AUDIOPATH, "DMUS_E_NO_AUDIOPATH"},
        {DMUS_E_AUDIOPATHS_NOT_VALID, "DMUS_E_AUDIOPATHS_NOT_VALID"},
        {DMUS_E_CANNOT_FREE, "DMUS_E_CANNOT_FREE"},
        {DMUS_E_GET_UNSUPPORTED, "DMUS_E_GET_UNSUPPORTED"},
        {DMUS_E_DRIVER_FAILED, "DMUS_E_DRIVER_FAILED"},
        {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
    };
    for (const auto& code : codes) {
        EXPECT_EQ(DXGetErrorString9A(code.first), code.second);
    }
}
