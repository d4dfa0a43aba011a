// Test seam of the DirectMusic layer: choose the audio output, drive a loopback clock,
// capture the mix, inject load failures and read a record of the calls made.
#pragma once

#include <dmusici.h>

#include <string>
#include <vector>

namespace dmusic_test {

enum class Output {
    Automatic,       // a sound device when one opens, else a loopback device on the wall clock
    NoDevice,        // as if no sound device opened: a loopback device on the wall clock
    ManualLoopback,  // a loopback device whose clock only moves with advance()
};

// Applies to performances initialised afterwards.
void setOutput(Output output);

// The rate, in frames a second, of every loopback device (stereo, 32-bit float).
constexpr int kLoopbackRate = 44100;

// Renders the given time on every ManualLoopback performance, in order of creation.
void advance(double seconds);

// While on, ManualLoopback performances keep what advance() renders.
void setCapture(bool enabled);
// The interleaved stereo samples captured for the performance since the last take.
std::vector<float> takeCapture(IDirectMusicPerformance8* performance);

// True when the performance renders into a loopback device.
bool usesLoopback(IDirectMusicPerformance8* performance);

// Loads of a file whose name (the last path component, compared without regard to case)
// matches fail with the given code.
void failLoad(const std::wstring& fileName, HRESULT result);

// The bytes all sounds together may hold; 0 (the default) keeps the layer's own budget. A
// fuzz run lowers it so that a declared length cannot ask for the full budget's memory.
void setSoundBudget(unsigned long long bytes);
// What the layer's sounds hold now, decoded and in OpenAL's buffers.
unsigned long long heldSoundBytes();

enum class Call {
    InitAudio,
    SetSearchDirectory,
    EnableCache,
    LoadObjectFromFile,
    ReleaseObjectByUnknown,
    Download,
    Unload,
    SetRepeats,
    SetLoopPoints,
    PlaySegmentEx,
    StopEx,
    IsPlaying,
    SetMasterVolume,
    SetPathVolume,
    ActivatePath,
    CreateStandardAudioPath,
    SendPMsg,
};

// One call as the layer saw it. Fields a call does not use stay zero.
struct Event {
    Event() = default;
    explicit Event(Call made) : call(made) {}

    Call call = Call::InitAudio;
    HRESULT result = S_OK;
    const void* performance = nullptr;
    const void* object = nullptr;  // segment, path, state or loader concerned
    const void* from = nullptr;
    const void* audioPath = nullptr;
    const void* state = nullptr;  // the state made by PlaySegmentEx
    std::wstring path;
    DWORD flags = 0;
    DWORD value = 0;  // repeats, path type, BOOL argument
    LONG millibels = 0;
    MUSIC_TIME start = 0;
    MUSIC_TIME end = 0;
    BYTE status = 0;  // SendPMsg of a MIDI message
    BYTE data1 = 0;
    BYTE data2 = 0;
};

// Calls are recorded only while recording is on (off by default, so that a long run does
// not collect them and pays no lock; every test executable turns it on at start).
void setRecording(bool enabled);
std::vector<Event> events();
std::vector<Event> events(Call call);
void clearEvents();

// Number of live COM objects the layer made (performances, loaders, segments, audio
// paths, segment states).
int liveObjects();

// Back to Automatic output, no capture, no load failures, the layer's own sound budget, no
// recording, no events.
void reset();

}  // namespace dmusic_test
