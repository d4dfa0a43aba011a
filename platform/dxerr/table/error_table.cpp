// Every result code the platform layer can return, by value. One value, one line: where
// several interfaces share a value (DIERR_OTHERAPPHASPRIO is E_ACCESSDENIED), the line
// carries the generic name.
#include "table/error_table.h"

#include <cstdint>

namespace dxerr {

namespace {

constexpr std::uint32_t d3d(std::uint32_t code) {
    return 0x88760000u | code;
}
constexpr std::uint32_t d3dSuccess(std::uint32_t code) {
    return 0x08760000u | code;
}
constexpr std::uint32_t dmus(std::uint32_t code) {
    return 0x88780000u | code;
}
constexpr std::uint32_t dmusSuccess(std::uint32_t code) {
    return 0x08780000u | code;
}
constexpr std::uint32_t win32Error(std::uint32_t code) {
    return 0x80070000u | code;
}

// The empty wide literal makes the wide copy of the same text.
#define MORVALE_DXERR(code, name, text)                            \
    ErrorEntry {                                                   \
        static_cast<HRESULT>(code), name, L"" name, text, L"" text \
    }

const ErrorEntry kErrors[] = {
    // Generic and COM.
    MORVALE_DXERR(0x00000000u, "S_OK", "The operation succeeded."),
    MORVALE_DXERR(0x00000001u, "S_FALSE",
                  "The operation succeeded but had nothing to do (DI_NOEFFECT, "
                  "DI_BUFFEROVERFLOW, DI_PROPNOEFFECT, DI_NOTATTACHED)."),
    MORVALE_DXERR(0x80004001u, "E_NOTIMPL", "Not implemented."),
    MORVALE_DXERR(0x80004002u, "E_NOINTERFACE", "No such interface supported."),
    MORVALE_DXERR(0x80004003u, "E_POINTER", "Invalid pointer."),
    MORVALE_DXERR(0x80004004u, "E_ABORT", "Operation aborted."),
    MORVALE_DXERR(0x80004005u, "E_FAIL", "Unspecified error."),
    MORVALE_DXERR(0x8000000Au, "E_PENDING", "The data is not yet available."),
    MORVALE_DXERR(0x8000FFFFu, "E_UNEXPECTED", "Catastrophic failure."),
    MORVALE_DXERR(win32Error(5), "E_ACCESSDENIED",
                  "Access denied (DIERR_OTHERAPPHASPRIO, DIERR_READONLY, DIERR_HANDLEEXISTS)."),
    MORVALE_DXERR(win32Error(6), "E_HANDLE", "Invalid handle."),
    MORVALE_DXERR(win32Error(14), "E_OUTOFMEMORY", "Ran out of memory (DIERR_OUTOFMEMORY)."),
    MORVALE_DXERR(win32Error(87), "E_INVALIDARG",
                  "One or more arguments are invalid (DIERR_INVALIDPARAM)."),
    MORVALE_DXERR(0x80040110u, "CLASS_E_NOAGGREGATION",
                  "This class cannot be created as part of an aggregate."),
    MORVALE_DXERR(0x80040154u, "REGDB_E_CLASSNOTREG", "Class not registered (DIERR_DEVICENOTREG)."),
    MORVALE_DXERR(0x800401F0u, "CO_E_NOTINITIALIZED", "CoInitialize has not been called."),
    MORVALE_DXERR(0x80010106u, "RPC_E_CHANGED_MODE",
                  "Cannot change the thread mode after it is set."),

    // Direct3D 9.
    MORVALE_DXERR(d3d(2072), "D3DERR_WRONGTEXTUREFORMAT",
                  "The pixel format of the texture surface is not valid."),
    MORVALE_DXERR(d3d(2073), "D3DERR_UNSUPPORTEDCOLOROPERATION",
                  "The device does not support a specified texture-blending operation for "
                  "color values."),
    MORVALE_DXERR(d3d(2074), "D3DERR_UNSUPPORTEDCOLORARG",
                  "The device does not support a specified texture-blending argument for "
                  "color values."),
    MORVALE_DXERR(d3d(2075), "D3DERR_UNSUPPORTEDALPHAOPERATION",
                  "The device does not support a specified texture-blending operation for "
                  "the alpha channel."),
    MORVALE_DXERR(d3d(2076), "D3DERR_UNSUPPORTEDALPHAARG",
                  "The device does not support a specified texture-blending argument for "
                  "the alpha channel."),
    MORVALE_DXERR(d3d(2077), "D3DERR_TOOMANYOPERATIONS",
                  "The application is requesting more texture-filtering operations than the "
                  "device supports."),
    MORVALE_DXERR(d3d(2078), "D3DERR_CONFLICTINGTEXTUREFILTER",
                  "The current texture filters cannot be used together."),
    MORVALE_DXERR(d3d(2079), "D3DERR_UNSUPPORTEDFACTORVALUE",
                  "The device does not support the specified texture factor value."),
    MORVALE_DXERR(d3d(2081), "D3DERR_CONFLICTINGRENDERSTATE",
                  "The currently set render states cannot be used together."),
    MORVALE_DXERR(d3d(2082), "D3DERR_UNSUPPORTEDTEXTUREFILTER",
                  "The device does not support the specified texture filter."),
    MORVALE_DXERR(d3d(2086), "D3DERR_CONFLICTINGTEXTUREPALETTE",
                  "The current textures cannot be used simultaneously."),
    MORVALE_DXERR(d3d(2087), "D3DERR_DRIVERINTERNALERROR", "Internal driver error."),
    MORVALE_DXERR(d3d(2150), "D3DERR_NOTFOUND", "The requested item was not found."),
    MORVALE_DXERR(d3d(2151), "D3DERR_MOREDATA",
                  "There is more data available than the specified buffer size can hold."),
    MORVALE_DXERR(d3d(2152), "D3DERR_DEVICELOST",
                  "The device has been lost but cannot be reset at this time."),
    MORVALE_DXERR(d3d(2153), "D3DERR_DEVICENOTRESET",
                  "The device has been lost but can be reset at this time."),
    MORVALE_DXERR(d3d(2154), "D3DERR_NOTAVAILABLE",
                  "This device does not support the queried technique."),
    MORVALE_DXERR(d3d(2155), "D3DERR_INVALIDDEVICE", "The requested device type is not valid."),
    MORVALE_DXERR(d3d(2156), "D3DERR_INVALIDCALL",
                  "The method call is invalid: a parameter may have an invalid value."),
    MORVALE_DXERR(d3d(2157), "D3DERR_DRIVERINVALIDCALL", "Not used."),
    MORVALE_DXERR(d3d(380), "D3DERR_OUTOFVIDEOMEMORY",
                  "Direct3D does not have enough display memory to perform the operation."),
    MORVALE_DXERR(d3d(540), "D3DERR_WASSTILLDRAWING",
                  "The previous blit operation that is transferring information to or from "
                  "this surface is incomplete."),
    MORVALE_DXERR(d3dSuccess(2159), "D3DOK_NOAUTOGEN",
                  "The format was accepted but mipmaps will not be generated automatically."),

    // D3DX 9.
    MORVALE_DXERR(d3d(2900), "D3DXERR_CANNOTMODIFYINDEXBUFFER",
                  "The index buffer cannot be modified."),
    MORVALE_DXERR(d3d(2901), "D3DXERR_INVALIDMESH", "The mesh is invalid."),
    MORVALE_DXERR(d3d(2902), "D3DXERR_CANNOTATTRSORT",
                  "Attribute sort (D3DXMESHOPT_ATTRSORT) is not supported as an optimization "
                  "technique."),
    MORVALE_DXERR(d3d(2903), "D3DXERR_SKINNINGNOTSUPPORTED", "Skinning is not supported."),
    MORVALE_DXERR(d3d(2904), "D3DXERR_TOOMANYINFLUENCES", "Too many influences specified."),
    MORVALE_DXERR(d3d(2905), "D3DXERR_INVALIDDATA", "The data is invalid."),
    MORVALE_DXERR(d3d(2906), "D3DXERR_LOADEDMESHASNODATA", "The mesh has no data."),
    MORVALE_DXERR(d3d(2907), "D3DXERR_DUPLICATENAMEDFRAGMENT",
                  "A fragment with that name already exists."),
    MORVALE_DXERR(d3d(2908), "D3DXERR_CANNOTREMOVELASTITEM", "The last item cannot be deleted."),

    // DirectInput 8 (the values not shared with the generic codes).
    MORVALE_DXERR(0x00000002u, "DI_POLLEDDEVICE",
                  "The device is a polled device: data is only current after Poll."),
    MORVALE_DXERR(0x00000003u, "DI_DOWNLOADSKIPPED",
                  "The parameters of the effect were updated but not downloaded."),
    MORVALE_DXERR(0x00000004u, "DI_EFFECTRESTARTED",
                  "The effect was stopped, its parameters updated and it was restarted."),
    MORVALE_DXERR(0x00000008u, "DI_TRUNCATED",
                  "The parameters of the effect were truncated to what the device supports."),
    MORVALE_DXERR(0x0000000Bu, "DI_SETTINGSNOTSAVED",
                  "The action map was applied but its settings could not be saved."),
    MORVALE_DXERR(0x0000000Cu, "DI_TRUNCATEDANDRESTARTED",
                  "The parameters were truncated and the effect was restarted."),
    MORVALE_DXERR(0x00000013u, "DI_WRITEPROTECT",
                  "The settings were applied but could not be saved: the file is "
                  "write-protected."),
    MORVALE_DXERR(win32Error(2), "DIERR_NOTFOUND",
                  "The requested object does not exist (DIERR_OBJECTNOTFOUND)."),
    MORVALE_DXERR(win32Error(12), "DIERR_NOTACQUIRED",
                  "The operation cannot be performed unless the device is acquired."),
    MORVALE_DXERR(win32Error(21), "DIERR_NOTINITIALIZED", "This object has not been initialized."),
    MORVALE_DXERR(win32Error(30), "DIERR_INPUTLOST",
                  "Access to the input device has been lost. It must be reacquired."),
    MORVALE_DXERR(win32Error(119), "DIERR_BADDRIVERVER",
                  "The object could not be created due to an incompatible driver version."),
    MORVALE_DXERR(win32Error(170), "DIERR_ACQUIRED",
                  "The operation cannot be performed while the device is acquired."),
    MORVALE_DXERR(win32Error(1150), "DIERR_OLDDIRECTINPUTVERSION",
                  "The application requires a newer version of DirectInput."),
    MORVALE_DXERR(win32Error(1153), "DIERR_BETADIRECTINPUTVERSION",
                  "The application was written for an unsupported prerelease version of "
                  "DirectInput."),
    MORVALE_DXERR(win32Error(1247), "DIERR_ALREADYINITIALIZED",
                  "This object is already initialized."),
    MORVALE_DXERR(0x80040200u, "DIERR_INSUFFICIENTPRIVS",
                  "Unable to perform the operation because of insufficient privileges."),
    MORVALE_DXERR(0x80040201u, "DIERR_DEVICEFULL", "The device is full."),
    MORVALE_DXERR(0x80040202u, "DIERR_MOREDATA",
                  "Not all the requested information fit into the buffer."),
    MORVALE_DXERR(0x80040203u, "DIERR_NOTDOWNLOADED", "The effect is not downloaded."),
    MORVALE_DXERR(0x80040204u, "DIERR_HASEFFECTS",
                  "The device cannot be reinitialized because effects are attached to it."),
    MORVALE_DXERR(0x80040205u, "DIERR_NOTEXCLUSIVEACQUIRED",
                  "The operation cannot be performed unless the device is acquired in "
                  "exclusive mode."),
    MORVALE_DXERR(0x80040206u, "DIERR_INCOMPLETEEFFECT",
                  "The effect could not be downloaded because essential information is "
                  "missing."),
    MORVALE_DXERR(0x80040207u, "DIERR_NOTBUFFERED",
                  "The device is not buffered. Set the buffer size property first."),
    MORVALE_DXERR(0x80040208u, "DIERR_EFFECTPLAYING",
                  "The parameters were updated in memory but not downloaded because the "
                  "effect is playing."),
    MORVALE_DXERR(0x80040209u, "DIERR_UNPLUGGED", "The device has been unplugged."),
    MORVALE_DXERR(0x8004020Au, "DIERR_REPORTFULL",
                  "More information was requested to be sent than can be sent to the device."),
    MORVALE_DXERR(0x8004020Bu, "DIERR_MAPFILEFAIL",
                  "An error occurred while reading or writing the action map file."),

    // DirectMusic.
    MORVALE_DXERR(dmusSuccess(0x091), "DMUS_S_PARTIALLOAD",
                  "The object could only load partially: some parts of it failed."),
    MORVALE_DXERR(dmusSuccess(0x092), "DMUS_S_PARTIALDOWNLOAD",
                  "Some instruments or waves could not be downloaded."),
    MORVALE_DXERR(dmusSuccess(0x200), "DMUS_S_REQUEUE",
                  "The message should be passed on to the next tool."),
    MORVALE_DXERR(dmusSuccess(0x201), "DMUS_S_FREE", "The message should be freed."),
    MORVALE_DXERR(dmusSuccess(0x202), "DMUS_S_END", "Playback of the track has ended."),
    MORVALE_DXERR(dmusSuccess(0x210), "DMUS_S_STRING_TRUNCATED",
                  "The returned string was truncated to fit the buffer."),
    MORVALE_DXERR(dmusSuccess(0x211), "DMUS_S_LAST_TOOL",
                  "The message was sent to the last tool in the graph."),
    MORVALE_DXERR(dmusSuccess(0x212), "DMUS_S_OVER_CHORD",
                  "No note has been calculated because the MIDI value lies above the chord."),
    MORVALE_DXERR(dmusSuccess(0x213), "DMUS_S_UP_OCTAVE",
                  "The note has been raised by one or more octaves to fit the range."),
    MORVALE_DXERR(dmusSuccess(0x214), "DMUS_S_DOWN_OCTAVE",
                  "The note has been lowered by one or more octaves to fit the range."),
    MORVALE_DXERR(dmusSuccess(0x215), "DMUS_S_NOBUFFERCONTROL",
                  "The audiopath could not give buffer control."),
    MORVALE_DXERR(dmusSuccess(0x216), "DMUS_S_GARBAGE_COLLECTED",
                  "The object was released by the loader's garbage collection."),
    MORVALE_DXERR(dmus(0x101), "DMUS_E_DRIVER_FAILED",
                  "An unexpected error was returned from a device driver."),
    MORVALE_DXERR(dmus(0x102), "DMUS_E_PORTS_OPEN",
                  "The operation cannot be carried out while ports are open."),
    MORVALE_DXERR(dmus(0x103), "DMUS_E_DEVICE_IN_USE", "The requested device is already in use."),
    MORVALE_DXERR(dmus(0x104), "DMUS_E_INSUFFICIENTBUFFER", "The buffer is not large enough."),
    MORVALE_DXERR(dmus(0x105), "DMUS_E_BUFFERNOTSET", "No buffer was set."),
    MORVALE_DXERR(dmus(0x106), "DMUS_E_BUFFERNOTAVAILABLE", "The buffer is not available."),
    MORVALE_DXERR(dmus(0x108), "DMUS_E_NOTADLSCOL", "The object is not a DLS collection."),
    MORVALE_DXERR(dmus(0x109), "DMUS_E_INVALIDOFFSET", "The offset is invalid."),
    MORVALE_DXERR(dmus(0x111), "DMUS_E_ALREADY_LOADED", "The object is already loaded."),
    MORVALE_DXERR(dmus(0x113), "DMUS_E_INVALIDPOS", "The position is invalid."),
    MORVALE_DXERR(dmus(0x114), "DMUS_E_INVALIDPATCH", "The patch is invalid."),
    MORVALE_DXERR(dmus(0x115), "DMUS_E_CANNOTSEEK", "The stream does not support seeking."),
    MORVALE_DXERR(dmus(0x116), "DMUS_E_CANNOTWRITE", "The stream does not support writing."),
    MORVALE_DXERR(dmus(0x117), "DMUS_E_CHUNKNOTFOUND",
                  "The RIFF parser does not contain a required chunk."),
    MORVALE_DXERR(dmus(0x119), "DMUS_E_INVALID_DOWNLOADID", "The download id is invalid."),
    MORVALE_DXERR(dmus(0x120), "DMUS_E_NOT_DOWNLOADED_TO_PORT",
                  "The object is not downloaded to the port."),
    MORVALE_DXERR(dmus(0x121), "DMUS_E_ALREADY_DOWNLOADED",
                  "The buffer was already downloaded to the synthesizer."),
    MORVALE_DXERR(dmus(0x122), "DMUS_E_UNKNOWN_PROPERTY",
                  "The property set or item is not supported."),
    MORVALE_DXERR(dmus(0x123), "DMUS_E_SET_UNSUPPORTED", "The property cannot be set."),
    MORVALE_DXERR(dmus(0x124), "DMUS_E_GET_UNSUPPORTED", "The property cannot be read."),
    MORVALE_DXERR(dmus(0x125), "DMUS_E_NOTMONO", "The wave chunk has more than one channel."),
    MORVALE_DXERR(dmus(0x126), "DMUS_E_BADARTICULATION", "The articulation is invalid."),
    MORVALE_DXERR(dmus(0x127), "DMUS_E_BADINSTRUMENT", "The instrument is invalid."),
    MORVALE_DXERR(dmus(0x128), "DMUS_E_BADWAVELINK", "The wave link chunk is invalid."),
    MORVALE_DXERR(dmus(0x129), "DMUS_E_NOARTICULATION", "The instrument has no articulation."),
    MORVALE_DXERR(dmus(0x12A), "DMUS_E_NOTPCM", "The wave is not PCM data."),
    MORVALE_DXERR(dmus(0x12B), "DMUS_E_BADWAVE", "The wave is invalid."),
    MORVALE_DXERR(dmus(0x12C), "DMUS_E_BADOFFSETTABLE", "The offset table is invalid."),
    MORVALE_DXERR(dmus(0x12D), "DMUS_E_UNKNOWNDOWNLOAD",
                  "The download type is not supported by the synthesizer."),
    MORVALE_DXERR(dmus(0x12E), "DMUS_E_NOSYNTHSINK", "No sink is connected to the synthesizer."),
    MORVALE_DXERR(dmus(0x12F), "DMUS_E_ALREADYOPEN", "The synthesizer is already open."),
    MORVALE_DXERR(dmus(0x130), "DMUS_E_ALREADYCLOSED", "The synthesizer is already closed."),
    MORVALE_DXERR(dmus(0x131), "DMUS_E_SYNTHNOTCONFIGURED", "The synthesizer is not configured."),
    MORVALE_DXERR(dmus(0x132), "DMUS_E_SYNTHACTIVE",
                  "The operation cannot be carried out while the synthesizer is active."),
    MORVALE_DXERR(dmus(0x133), "DMUS_E_CANNOTREAD", "An error occurred while reading."),
    MORVALE_DXERR(dmus(0x134), "DMUS_E_DMUSIC_RELEASED",
                  "The DirectMusic object has been released."),
    MORVALE_DXERR(dmus(0x135), "DMUS_E_BUFFER_EMPTY", "There is no data in the buffer."),
    MORVALE_DXERR(dmus(0x136), "DMUS_E_BUFFER_FULL", "The buffer is full."),
    MORVALE_DXERR(dmus(0x137), "DMUS_E_PORT_NOT_CAPTURE", "The port is not a capture port."),
    MORVALE_DXERR(dmus(0x138), "DMUS_E_PORT_NOT_RENDER", "The port is not an output port."),
    MORVALE_DXERR(dmus(0x139), "DMUS_E_DSOUND_NOT_SET",
                  "The port could not be created because no DirectSound was set."),
    MORVALE_DXERR(dmus(0x13A), "DMUS_E_ALREADY_ACTIVATED", "The port is already active."),
    MORVALE_DXERR(dmus(0x13B), "DMUS_E_INVALIDBUFFER", "The buffer is invalid."),
    MORVALE_DXERR(dmus(0x13C), "DMUS_E_WAVEFORMATNOTSUPPORTED",
                  "The wave format is not supported."),
    MORVALE_DXERR(dmus(0x13D), "DMUS_E_SYNTHINACTIVE",
                  "The operation needs an active synthesizer."),
    MORVALE_DXERR(dmus(0x13E), "DMUS_E_DSOUND_ALREADY_SET", "DirectSound has already been set."),
    MORVALE_DXERR(dmus(0x13F), "DMUS_E_INVALID_EVENT", "The event is invalid."),
    MORVALE_DXERR(dmus(0x150), "DMUS_E_UNSUPPORTED_STREAM",
                  "The stream does not contain data supported by the loading object."),
    MORVALE_DXERR(dmus(0x151), "DMUS_E_ALREADY_INITED", "The object is already initialized."),
    MORVALE_DXERR(dmus(0x152), "DMUS_E_INVALID_BAND", "The band is invalid."),
    MORVALE_DXERR(dmus(0x155), "DMUS_E_TRACK_HDR_NOT_FIRST_CK",
                  "The track header is not the first chunk of the track."),
    MORVALE_DXERR(dmus(0x156), "DMUS_E_TOOL_HDR_NOT_FIRST_CK",
                  "The tool header is not the first chunk of the tool."),
    MORVALE_DXERR(dmus(0x157), "DMUS_E_INVALID_TRACK_HDR", "The track header is invalid."),
    MORVALE_DXERR(dmus(0x158), "DMUS_E_INVALID_TOOL_HDR", "The tool header is invalid."),
    MORVALE_DXERR(dmus(0x159), "DMUS_E_ALL_TOOLS_FAILED", "No tool could be loaded."),
    MORVALE_DXERR(dmus(0x160), "DMUS_E_ALL_TRACKS_FAILED", "No track could be loaded."),
    MORVALE_DXERR(dmus(0x161), "DMUS_E_NOT_FOUND", "The requested item was not found."),
    MORVALE_DXERR(dmus(0x162), "DMUS_E_NOT_INIT", "A required object is not initialized."),
    MORVALE_DXERR(dmus(0x163), "DMUS_E_TYPE_DISABLED", "The requested parameter type is disabled."),
    MORVALE_DXERR(dmus(0x164), "DMUS_E_TYPE_UNSUPPORTED",
                  "The requested parameter type is not supported."),
    MORVALE_DXERR(dmus(0x165), "DMUS_E_TIME_PAST", "The time is in the past."),
    MORVALE_DXERR(dmus(0x166), "DMUS_E_TRACK_NOT_FOUND", "The requested track was not found."),
    MORVALE_DXERR(dmus(0x167), "DMUS_E_TRACK_NO_CLOCKTIME_SUPPORT",
                  "The track does not support clock-time playback."),
    MORVALE_DXERR(dmus(0x170), "DMUS_E_NO_MASTER_CLOCK", "There is no master clock."),
    MORVALE_DXERR(dmus(0x180), "DMUS_E_LOADER_NOCLASSID",
                  "The class id field is required but missing."),
    MORVALE_DXERR(dmus(0x181), "DMUS_E_LOADER_BADPATH", "The requested file path is invalid."),
    MORVALE_DXERR(dmus(0x182), "DMUS_E_LOADER_FAILEDOPEN",
                  "The file open failed: the file does not exist or is locked."),
    MORVALE_DXERR(dmus(0x183), "DMUS_E_LOADER_FORMATNOTSUPPORTED",
                  "The search data type is not supported."),
    MORVALE_DXERR(dmus(0x184), "DMUS_E_LOADER_FAILEDCREATE",
                  "The object could not be found or created."),
    MORVALE_DXERR(dmus(0x185), "DMUS_E_LOADER_OBJECTNOTFOUND", "The object was not found."),
    MORVALE_DXERR(dmus(0x186), "DMUS_E_LOADER_NOFILENAME",
                  "The file name is missing from the object description."),
    MORVALE_DXERR(dmus(0x200), "DMUS_E_INVALIDFILE", "The file is not a valid file."),
    MORVALE_DXERR(dmus(0x201), "DMUS_E_ALREADY_EXISTS", "The tool is already in the graph."),
    MORVALE_DXERR(dmus(0x202), "DMUS_E_OUT_OF_RANGE", "The value is out of range."),
    MORVALE_DXERR(dmus(0x203), "DMUS_E_SEGMENT_INIT_FAILED",
                  "The segment initialization failed, probably from a critical memory "
                  "situation."),
    MORVALE_DXERR(dmus(0x204), "DMUS_E_ALREADY_SENT", "The message has already been sent."),
    MORVALE_DXERR(dmus(0x205), "DMUS_E_CANNOT_FREE",
                  "The message was not allocated by the performance or was already freed."),
    MORVALE_DXERR(dmus(0x206), "DMUS_E_CANNOT_OPEN_PORT", "The default port could not be opened."),
    MORVALE_DXERR(dmus(0x207), "DMUS_E_CANNOT_CONVERT",
                  "A call to MIDIToMusic or MusicToMIDI failed."),
    MORVALE_DXERR(dmus(0x210), "DMUS_E_DESCEND_CHUNK_FAIL",
                  "The end of the file was reached before the desired chunk was found."),
    MORVALE_DXERR(dmus(0x211), "DMUS_E_NOT_LOADED",
                  "An attempt to use this object failed because it was not loaded."),
    MORVALE_DXERR(dmus(0x213), "DMUS_E_SCRIPT_LANGUAGE_INCOMPATIBLE",
                  "The script language is not supported."),
    MORVALE_DXERR(dmus(0x214), "DMUS_E_SCRIPT_UNSUPPORTED_VARTYPE",
                  "A variable type is not supported by scripting."),
    MORVALE_DXERR(dmus(0x215), "DMUS_E_SCRIPT_ERROR_IN_SCRIPT",
                  "An error was encountered while parsing or executing the script."),
    MORVALE_DXERR(dmus(0x216), "DMUS_E_SCRIPT_CANTLOAD_OLEAUT32",
                  "The scripting support library could not be loaded."),
    MORVALE_DXERR(dmus(0x217), "DMUS_E_SCRIPT_LOADSCRIPT_ERROR",
                  "An error occurred while parsing a script loaded with LoadScript."),
    MORVALE_DXERR(dmus(0x218), "DMUS_E_SCRIPT_INVALID_FILE", "The script file is invalid."),
    MORVALE_DXERR(dmus(0x219), "DMUS_E_INVALID_SCRIPTTRACK", "The script track is invalid."),
    MORVALE_DXERR(dmus(0x21A), "DMUS_E_SCRIPT_VARIABLE_NOT_FOUND",
                  "The script does not contain the requested variable."),
    MORVALE_DXERR(dmus(0x21B), "DMUS_E_SCRIPT_ROUTINE_NOT_FOUND",
                  "The script does not contain the requested routine."),
    MORVALE_DXERR(dmus(0x21C), "DMUS_E_SCRIPT_CONTENT_READONLY",
                  "Scripts variables for content referenced or embedded cannot be changed."),
    MORVALE_DXERR(dmus(0x21D), "DMUS_E_SCRIPT_NOT_A_REFERENCE",
                  "An attempt was made to set a script variable to a value that is not an "
                  "object."),
    MORVALE_DXERR(dmus(0x21E), "DMUS_E_SCRIPT_VALUE_NOT_SUPPORTED",
                  "The value type is not supported by the script variable."),
    MORVALE_DXERR(dmus(0x220), "DMUS_E_INVALID_SEGMENTTRIGGERTRACK",
                  "The segment trigger track is invalid."),
    MORVALE_DXERR(dmus(0x221), "DMUS_E_INVALID_LYRICSTRACK", "The lyrics track is invalid."),
    MORVALE_DXERR(dmus(0x222), "DMUS_E_INVALID_PARAMCONTROLTRACK",
                  "The parameter control track is invalid."),
    MORVALE_DXERR(dmus(0x223), "DMUS_E_AUDIOVBSCRIPT_SYNTAXERROR",
                  "A script written in AudioVBScript could not be read because it contained a "
                  "syntax error."),
    MORVALE_DXERR(dmus(0x224), "DMUS_E_AUDIOVBSCRIPT_RUNTIMEERROR",
                  "A script routine written in AudioVBScript failed because of a run-time "
                  "error."),
    MORVALE_DXERR(dmus(0x225), "DMUS_E_AUDIOVBSCRIPT_OPERATIONFAILURE",
                  "A script routine written in AudioVBScript failed because an operation "
                  "failed."),
    MORVALE_DXERR(dmus(0x226), "DMUS_E_AUDIOPATHS_NOT_VALID",
                  "The performance has set up audiopaths, which cannot be mixed with ports."),
    MORVALE_DXERR(dmus(0x227), "DMUS_E_AUDIOPATHS_IN_USE",
                  "The performance uses audiopaths, so ports cannot be used."),
    MORVALE_DXERR(dmus(0x228), "DMUS_E_NO_AUDIOPATH_CONFIG",
                  "The segment or song has no embedded audiopath configuration."),
    MORVALE_DXERR(dmus(0x229), "DMUS_E_AUDIOPATH_INACTIVE", "The audiopath is inactive."),
    MORVALE_DXERR(dmus(0x22A), "DMUS_E_AUDIOPATH_NOBUFFER",
                  "The audiopath could not be created because a requested buffer could not be "
                  "created."),
    MORVALE_DXERR(dmus(0x22B), "DMUS_E_AUDIOPATH_NOPORT",
                  "The audiopath could not be used because it lacks a port."),
    MORVALE_DXERR(dmus(0x22C), "DMUS_E_NO_AUDIOPATH",
                  "Attempt to play a segment with no audiopath."),
    MORVALE_DXERR(dmus(0x22D), "DMUS_E_INVALIDCHUNK", "Invalid data was found in a RIFF chunk."),
    MORVALE_DXERR(dmus(0x22E), "DMUS_E_AUDIOPATH_NOGLOBALFXBUFFER",
                  "The global effects buffer for the audiopath is missing."),
    MORVALE_DXERR(dmus(0x22F), "DMUS_E_INVALID_CONTAINER_OBJECT",
                  "The object cannot be played from a container."),
};

#undef MORVALE_DXERR

}  // namespace

const ErrorEntry* findError(HRESULT code) {
    for (const ErrorEntry& entry : kErrors) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace dxerr
