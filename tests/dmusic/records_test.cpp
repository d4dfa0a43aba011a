#include "fixture.h"

#include <cstring>

namespace dmusic_testing {
namespace {

using dmusic_test::Call;
using dmusic_test::events;

class Records : public DmusicTest {};

TEST_F(Records, PlaysStopsAndVolumesAreRecordedAsCalled) {
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicSegment8* segment = loadTone(performance, "recorded.wav", Tone());
    ASSERT_EQ(segment->SetLoopPoints(0, 0), S_OK);
    ASSERT_EQ(segment->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    IDirectMusicAudioPath* path = nullptr;
    ASSERT_EQ(performance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 1, FALSE, &path),
              S_OK);
    keep(path);
    path->Activate(TRUE);
    path->SetVolume(-1120, 0);
    LONG master = -5000;
    performance->SetGlobalParam(GUID_PerfMasterVolume, &master, sizeof master);
    dmusic_test::clearEvents();

    IDirectMusicSegmentState* first = play(performance, segment, 0, nullptr, path);
    play(performance, segment, DMUS_SEGF_QUEUE, first, path);
    performance->StopEx(segment, 0, 0);
    EXPECT_EQ(performance->IsPlaying(segment, nullptr), S_FALSE);

    const auto plays = events(Call::PlaySegmentEx);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].flags, DMUS_SEGF_SECONDARY);
    EXPECT_EQ(plays[0].from, nullptr);
    EXPECT_EQ(plays[0].state, first);
    EXPECT_EQ(plays[1].flags, DMUS_SEGF_SECONDARY | DMUS_SEGF_QUEUE);
    EXPECT_EQ(plays[1].from, first);
    EXPECT_EQ(plays[1].audioPath, path);
    EXPECT_EQ(plays[1].object, segment);
    EXPECT_EQ(events(Call::StopEx).size(), 1u);
    ASSERT_EQ(events(Call::IsPlaying).size(), 1u);
    EXPECT_EQ(events(Call::IsPlaying)[0].result, S_FALSE);

    dmusic_test::clearEvents();
    dmusic_test::setRecording(false);
    play(performance, segment);
    EXPECT_TRUE(events().empty());
}

TEST_F(Records, SetUpCallsAreRecorded) {
    dmusic_test::setRecording(true);
    IDirectMusicPerformance8* performance = makePerformance();
    IDirectMusicSegment8* segment = loadTone(performance, "setup.wav", Tone());
    segment->SetRepeats(3);
    segment->SetLoopPoints(0, 0);
    segment->Unload(performance);
    IDirectMusicAudioPath* path = nullptr;
    performance->GetDefaultAudioPath(&path);
    keep(path);
    path->SetVolume(-2062, 0);

    ASSERT_EQ(events(Call::InitAudio).size(), 1u);
    EXPECT_EQ(events(Call::InitAudio)[0].value, DMUS_APATH_DYNAMIC_STEREO);
    EXPECT_EQ(events(Call::InitAudio)[0].flags, DMUS_AUDIOF_ALL);
    ASSERT_EQ(events(Call::LoadObjectFromFile).size(), 1u);
    EXPECT_EQ(events(Call::LoadObjectFromFile)[0].path, L"setup.wav");
    EXPECT_EQ(events(Call::LoadObjectFromFile)[0].object, segment);
    EXPECT_EQ(events(Call::EnableCache)[0].value, static_cast<DWORD>(FALSE));
    EXPECT_EQ(events(Call::Download).size(), 1u);
    EXPECT_EQ(events(Call::Unload).size(), 1u);
    EXPECT_EQ(events(Call::SetRepeats)[0].value, 3u);
    EXPECT_EQ(events(Call::SetLoopPoints)[0].end, 0);
    EXPECT_EQ(events(Call::SetPathVolume).back().millibels, -2062);
    EXPECT_EQ(events(Call::SetPathVolume).back().object, path);
}

TEST_F(Records, APitchBendTravelsAsTheGameSendsIt) {
    IDirectMusicPerformance8* performance = makePerformance();
    dmusic_test::clearEvents();
    const int bend = 0x3000;  // 0.5 up: data bytes 0x00 and 0x60

    IDirectMusicGraph* graph = nullptr;
    ASSERT_EQ(performance->QueryInterface(IID_IDirectMusicGraph, reinterpret_cast<void**>(&graph)),
              S_OK);
    DMUS_MIDI_PMSG* message = nullptr;
    ASSERT_EQ(
        performance->AllocPMsg(sizeof(DMUS_MIDI_PMSG), reinterpret_cast<DMUS_PMSG**>(&message)),
        S_OK);
    EXPECT_EQ(message->dwSize, sizeof(DMUS_MIDI_PMSG));
    std::memset(message, 0, sizeof(DMUS_MIDI_PMSG));
    message->bStatus = 0xE0;
    message->bByte1 = bend & 0x7F;
    message->bByte2 = (bend >> 7) & 0x7F;
    EXPECT_EQ(graph->StampPMsg(reinterpret_cast<DMUS_PMSG*>(message)), S_OK);
    graph->Release();
    ASSERT_EQ(performance->SendPMsg(reinterpret_cast<DMUS_PMSG*>(message)), S_OK);

    const auto sent = events(Call::SendPMsg);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].status, 0xE0);
    EXPECT_EQ(sent[0].data1, 0x00);
    EXPECT_EQ(sent[0].data2, 0x60);
    // Sent messages belong to the performance.
    EXPECT_EQ(performance->FreePMsg(reinterpret_cast<DMUS_PMSG*>(message)), DMUS_E_CANNOT_FREE);
}

TEST_F(Records, MessagesAreCheckedAndOwned) {
    IDirectMusicPerformance8* performance = makePerformance();
    DMUS_PMSG* message = nullptr;
    EXPECT_EQ(performance->AllocPMsg(sizeof(DMUS_PMSG) - 1, &message), E_INVALIDARG);
    EXPECT_EQ(message, nullptr);
    EXPECT_EQ(performance->AllocPMsg(64, nullptr), E_POINTER);
    ASSERT_EQ(performance->AllocPMsg(sizeof(DMUS_PMSG), &message), S_OK);
    EXPECT_EQ(performance->FreePMsg(message), S_OK);
    EXPECT_EQ(performance->FreePMsg(message), DMUS_E_CANNOT_FREE);
    DMUS_PMSG foreign{};
    EXPECT_EQ(performance->SendPMsg(&foreign), DMUS_E_CANNOT_FREE);
    EXPECT_EQ(performance->SendPMsg(nullptr), E_POINTER);

    // A message too short to hold MIDI bytes is sent without being read as one.
    ASSERT_EQ(performance->AllocPMsg(sizeof(DMUS_PMSG), &message), S_OK);
    EXPECT_EQ(performance->SendPMsg(message), S_OK);

    // An unsent message goes with its performance (the leak checker watches this one).
    IDirectMusicPerformance8* uninitialised = createPerformance();
    ASSERT_EQ(uninitialised->AllocPMsg(sizeof(DMUS_MIDI_PMSG), &message), S_OK);
    EXPECT_EQ(uninitialised->SendPMsg(message), DMUS_E_NOT_INIT);
}

TEST_F(Records, GlobalParametersAreStoredAndTheMasterVolumeChecked) {
    IDirectMusicPerformance8* performance = makePerformance();
    LONG millibels = 1;
    ASSERT_EQ(performance->GetGlobalParam(GUID_PerfMasterVolume, &millibels, sizeof millibels),
              S_OK);
    EXPECT_EQ(millibels, 0);
    millibels = -2062;
    ASSERT_EQ(performance->SetGlobalParam(GUID_PerfMasterVolume, &millibels, sizeof millibels),
              S_OK);
    millibels = 0;
    ASSERT_EQ(performance->GetGlobalParam(GUID_PerfMasterVolume, &millibels, sizeof millibels),
              S_OK);
    EXPECT_EQ(millibels, -2062);
    EXPECT_EQ(events(Call::SetMasterVolume).back().millibels, -2062);

    short tooSmall = 0;
    EXPECT_EQ(performance->SetGlobalParam(GUID_PerfMasterVolume, &tooSmall, sizeof tooSmall),
              E_INVALIDARG);
    EXPECT_EQ(performance->SetGlobalParam(GUID_PerfMasterVolume, nullptr, 4), E_POINTER);
    DWORD other = 0;
    EXPECT_EQ(performance->GetGlobalParam(GUID_DirectMusicAllTypes, &other, sizeof other),
              DMUS_E_GET_UNSUPPORTED);
    other = 42;
    ASSERT_EQ(performance->SetGlobalParam(GUID_DirectMusicAllTypes, &other, sizeof other), S_OK);
    other = 0;
    ASSERT_EQ(performance->GetGlobalParam(GUID_DirectMusicAllTypes, &other, sizeof other), S_OK);
    EXPECT_EQ(other, 42u);
}

}  // namespace
}  // namespace dmusic_testing
