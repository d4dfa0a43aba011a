// Sound files through the music loader, as the music cache loads them: the loader ends in a
// segment or std::runtime_error "LoadObjectFromFile failed - ...", nothing else.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "dmusic/test_seam.h"
#include "engine/core/strings.h"
#include "game/audio/music_segment_loader.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"

namespace {

// Compressed sound expands: a second of silence takes a few bytes.
constexpr std::size_t kBytesPerInputByte = 2048;
// A header may declare the longest sound in a few bytes, and the decoder sizes its buffer
// from it: a budget of a minute at 48 kHz (11 MB) keeps that within the fixed allowance.
constexpr unsigned long long kSoundBudget = 60ull * 48000 * 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    static kesh::MusicSegmentLoader loader(kesh::toWide(services.artRoot() + "audio/"), false);
    dmusic_test::setSoundBudget(kSoundBudget);
    services.writeArt("audio/fuzz.wav", std::vector<std::uint8_t>(data, data + size));
    fuzz_support::MemoryBound bound(size, kBytesPerInputByte);
    try {
        IDirectMusicSegment8* segment = loader.load(kesh::ResourceId("fuzz.wav"));
        loader.release(segment);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
