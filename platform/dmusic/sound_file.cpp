#include "sound_file.h"

#include <new>

namespace dmusic {

std::shared_ptr<SoundFile> SoundFile::open(const std::string& path, HRESULT& error) {
    std::shared_ptr<const Pcm> pcm = decodeFile(path, error);
    if (!pcm) {
        return nullptr;
    }
    return std::shared_ptr<SoundFile>(new SoundFile(path, std::move(pcm)));
}

SoundFile::SoundFile(std::string path, std::shared_ptr<const Pcm> pcm)
    : path_(std::move(path)), rate_(pcm->rate), frames_(pcm->frames()), held_(std::move(pcm)) {}

std::shared_ptr<const Pcm> SoundFile::samples(HRESULT& error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (held_) {
            error = S_OK;
            return held_;
        }
    }
    std::shared_ptr<const Pcm> pcm;
    try {
        pcm = decodeFile(path_, error);
    } catch (const std::bad_alloc&) {
        error = E_OUTOFMEMORY;
    }
    // The file may have changed since: only the same length fits the segment's times.
    if (pcm && (pcm->rate != rate_ || pcm->frames() != frames_)) {
        error = E_FAIL;
        return nullptr;
    }
    return pcm;
}

void SoundFile::dropSamples() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.reset();
}

}  // namespace dmusic
