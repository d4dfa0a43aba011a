// The DirectMusic performance layer: performance, segments, segment states, audio paths,
// the tool graph's message stamping and the loader. Sound plays through OpenAL; see
// dmusic/test_seam.h for what tests can control and observe.
#pragma once

#include "dmusicc.h"

// Class and interface identities (compared by value only).
extern const CLSID CLSID_DirectMusicPerformance;
extern const CLSID CLSID_DirectMusicLoader;
extern const CLSID CLSID_DirectMusicSegment;
extern const IID IID_IDirectMusicPerformance;
extern const IID IID_IDirectMusicPerformance8;
extern const IID IID_IDirectMusicLoader;
extern const IID IID_IDirectMusicLoader8;
extern const IID IID_IDirectMusicSegment;
extern const IID IID_IDirectMusicSegment8;
extern const IID IID_IDirectMusicSegmentState;
extern const IID IID_IDirectMusicSegmentState8;
extern const IID IID_IDirectMusicAudioPath;
extern const IID IID_IDirectMusicAudioPath8;
extern const IID IID_IDirectMusicGraph;
extern const GUID GUID_DirectMusicAllTypes;
extern const GUID GUID_PerfMasterVolume;  // LONG millibels

// Audio path types. All of them play as plain stereo here.
#define DMUS_APATH_SHARED_STEREOPLUSREVERB 1u
#define DMUS_APATH_DYNAMIC_STEREO 6u
#define DMUS_APATH_DYNAMIC_3D 64u
#define DMUS_APATH_DYNAMIC_MONO 65u

#define DMUS_AUDIOF_3D 0x1u
#define DMUS_AUDIOF_ENVIRON 0x2u
#define DMUS_AUDIOF_EAX 0x4u
#define DMUS_AUDIOF_DMOS 0x8u
#define DMUS_AUDIOF_STREAMING 0x10u
#define DMUS_AUDIOF_BUFFERS 0x20u
#define DMUS_AUDIOF_ALL 0x3Fu

// Segment play flags.
#define DMUS_SEGF_SECONDARY 0x80u
#define DMUS_SEGF_QUEUE 0x100u

#define DMUS_SEG_REPEAT_INFINITE 0xFFFFFFFFu

// Volumes are in millibels (hundredths of a decibel): 0 is full, -10000 and below silence.
#define DMUS_VOLUME_MIN (-10000)
#define DMUS_VOLUME_MAX 0

// Performance message types.
#define DMUS_PMSGT_MIDI 0u

struct IDirectMusicTool;
struct IDirectMusicGraph;

#define DMUS_PMSG_PART         \
    DWORD dwSize;              \
    REFERENCE_TIME rtTime;     \
    MUSIC_TIME mtTime;         \
    DWORD dwFlags;             \
    DWORD dwPChannel;          \
    DWORD dwVirtualTrackID;    \
    IDirectMusicTool* pTool;   \
    IDirectMusicGraph* pGraph; \
    DWORD dwType;              \
    DWORD dwVoiceID;           \
    DWORD dwGroupID;           \
    IUnknown* punkUser;

struct DMUS_PMSG {
    DMUS_PMSG_PART
};

// A MIDI channel message: bStatus (e.g. 0xE0 pitch bend on channel 0) and its two data
// bytes.
struct DMUS_MIDI_PMSG {
    DMUS_PMSG_PART
    BYTE bStatus;
    BYTE bByte1;
    BYTE bByte2;
    BYTE bPad[1];
};

// A handle to one playing (or queued) instance of a segment. The performance owns it:
// PlaySegmentEx hands it out without a reference, so the caller need not release it. A
// caller that wants to keep it beyond the performance's own bookkeeping AddRefs it.
struct IDirectMusicSegmentState : IUnknown {};
typedef IDirectMusicSegmentState IDirectMusicSegmentState8;

// Sound data decoded from a file. Times are MUSIC_TIME ticks (1536 a second).
struct IDirectMusicSegment : IUnknown {
    virtual HRESULT GetLength(MUSIC_TIME* length) = 0;
    // Extra passes over the loop section; DMUS_SEG_REPEAT_INFINITE loops until stopped.
    // Applies to plays started afterwards.
    virtual HRESULT SetRepeats(DWORD repeats) = 0;
    virtual HRESULT GetRepeats(DWORD* repeats) = 0;
    // The section repeated; (0, 0) is the whole segment. Otherwise start < end <= length,
    // else DMUS_E_OUT_OF_RANGE.
    virtual HRESULT SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) = 0;
    virtual HRESULT GetLoopPoints(MUSIC_TIME* start, MUSIC_TIME* end) = 0;
};

struct IDirectMusicSegment8 : IDirectMusicSegment {
    // Makes the segment playable on a performance (or an audio path's performance).
    // Downloads are counted: the data goes with the last matching Unload, which also
    // stops what still plays of it there.
    virtual HRESULT Download(IUnknown* performanceOrPath) = 0;
    virtual HRESULT Unload(IUnknown* performanceOrPath) = 0;
};

// A volume stage of its own between segments and the performance's master volume.
struct IDirectMusicAudioPath : IUnknown {
    // An inactive path refuses new plays; deactivating stops what plays on it.
    virtual HRESULT Activate(BOOL active) = 0;
    // Immediate (the fade duration is not used) and persistent; applies to everything
    // playing on the path and to later plays. pChannel-less: the whole path.
    virtual HRESULT SetVolume(LONG millibels, DWORD duration) = 0;
};
typedef IDirectMusicAudioPath IDirectMusicAudioPath8;

// The performance's message graph: only stamping is supported (there are no tools).
struct IDirectMusicGraph : IUnknown {
    virtual HRESULT StampPMsg(DMUS_PMSG* message) = 0;
};

struct IDirectMusicPerformance8 : IUnknown {
    // Opens the audio output: a sound device when one opens, else a device that renders
    // silently as time passes (so sounds still end). Never fails for lack of a device.
    // The DirectMusic and DirectSound out-parameters must be null.
    virtual HRESULT InitAudio(IDirectMusic** directMusic, IDirectSound** directSound, HWND window,
                              DWORD defaultPathType, DWORD pChannelCount, DWORD flags,
                              DMUS_AUDIOPARAMS* params) = 0;
    // Plays a downloaded segment now. DMUS_SEGF_SECONDARY segments mix over each other;
    // a primary one replaces the primary one playing. With DMUS_SEGF_QUEUE the segment
    // starts when `from` (a segment state, or everything on an audio path) has ended,
    // without cutting it; without QUEUE `from` is stopped. At most 8 instances of one
    // segment play at once: a ninth stops the oldest. `audioPath` null = the default
    // path. `*state` receives a non-owning handle. The start time is not used (now).
    virtual HRESULT PlaySegmentEx(IUnknown* source, const WCHAR* segmentName, IUnknown* transition,
                                  DWORD flags, REFERENCE_TIME startTime,
                                  IDirectMusicSegmentState** state, IUnknown* from,
                                  IUnknown* audioPath) = 0;
    // Stops now: a segment (every instance), a segment state, everything on an audio
    // path, or everything (null).
    virtual HRESULT StopEx(IUnknown* object, REFERENCE_TIME stopTime, DWORD flags) = 0;
    // S_OK while the state (when given) or any instance of the segment plays, else
    // S_FALSE. A queued instance is not playing until it starts.
    virtual HRESULT IsPlaying(IDirectMusicSegment* segment, IDirectMusicSegmentState* state) = 0;
    // GUID_PerfMasterVolume (a LONG in millibels) sets the master gain; other parameters
    // are only stored.
    virtual HRESULT SetGlobalParam(REFGUID type, void* data, DWORD size) = 0;
    virtual HRESULT GetGlobalParam(REFGUID type, void* data, DWORD size) = 0;
    // The path made by InitAudio, with a new reference.
    virtual HRESULT GetDefaultAudioPath(IDirectMusicAudioPath** path) = 0;
    virtual HRESULT CreateStandardAudioPath(DWORD type, DWORD pChannelCount, BOOL activate,
                                            IDirectMusicAudioPath** path) = 0;
    // Messages: zeroed, at least sizeof(DMUS_PMSG). A sent message belongs to the
    // performance; an unsent one is given back with FreePMsg. MIDI pitch-bend messages
    // bend every sound of the performance (a range of 2 semitones either way).
    virtual HRESULT AllocPMsg(ULONG size, DMUS_PMSG** message) = 0;
    virtual HRESULT SendPMsg(DMUS_PMSG* message) = 0;
    virtual HRESULT FreePMsg(DMUS_PMSG* message) = 0;
};
typedef IDirectMusicPerformance8 IDirectMusicPerformance;

struct IDirectMusicLoader8 : IUnknown {
    // The folder that relative file names are found in; it must exist. `clear` drops the
    // objects cached so far.
    virtual HRESULT SetSearchDirectory(REFGUID classId, const WCHAR* path, BOOL clear) = 0;
    // With the cache on, loading the same file again gives the same segment (the cache
    // holds a reference of its own); turning it off drops the cached objects.
    virtual HRESULT EnableCache(REFGUID classId, BOOL enable) = 0;
    // Loads a segment (CLSID_DirectMusicSegment) from any sound file libsndfile reads.
    // Paths may mix '/' and '\\' and differ in case from the file. Missing file:
    // DMUS_E_LOADER_FAILEDOPEN; undecodable: DMUS_E_UNSUPPORTED_STREAM; *object null.
    virtual HRESULT LoadObjectFromFile(REFGUID classId, REFIID iid, const WCHAR* path,
                                       void** object) = 0;
    // Drops the cache's reference to the object (S_FALSE when it is not cached).
    virtual HRESULT ReleaseObjectByUnknown(IUnknown* object) = 0;
};
typedef IDirectMusicLoader8 IDirectMusicLoader;
