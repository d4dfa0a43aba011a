#include "tools/artlib/flac_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace artlib {
namespace {

// The file grows in memory; libsndfile seeks back to finish the header.
struct MemoryFile {
    Bytes bytes;
    sf_count_t at = 0;
};

MemoryFile& fileOf(void* user) {
    return *static_cast<MemoryFile*>(user);
}

sf_count_t length(void* user) {
    return static_cast<sf_count_t>(fileOf(user).bytes.size());
}

sf_count_t seek(sf_count_t offset, int whence, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? file.at
                                                 : static_cast<sf_count_t>(file.bytes.size());
    file.at = std::max<sf_count_t>(0, base + offset);
    return file.at;
}

sf_count_t read(void* out, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t left =
        std::max<sf_count_t>(0, static_cast<sf_count_t>(file.bytes.size()) - file.at);
    const sf_count_t n = std::min(count, left);
    std::memcpy(out, file.bytes.data() + file.at, static_cast<std::size_t>(n));
    file.at += n;
    return n;
}

sf_count_t write(const void* in, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    const auto end = static_cast<std::size_t>(file.at + count);
    if (file.bytes.size() < end) {
        file.bytes.resize(end);
    }
    std::memcpy(file.bytes.data() + file.at, in, static_cast<std::size_t>(count));
    file.at += count;
    return count;
}

sf_count_t tell(void* user) {
    return fileOf(user).at;
}

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

Bytes flacBytes(const Sound& sound) {
    SF_VIRTUAL_IO io{length, seek, read, write, tell};
    MemoryFile file;
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = sound.channels;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    {
        std::unique_ptr<SNDFILE, SndFileCloser> encoder(
            sf_open_virtual(&io, SFM_WRITE, &info, &file));
        if (!encoder) {
            throw std::runtime_error(std::string("FLAC encoder: ") + sf_strerror(nullptr));
        }
        const auto frames = static_cast<sf_count_t>(sound.samples.size()) / sound.channels;
        if (sf_writef_float(encoder.get(), sound.samples.data(), frames) != frames) {
            throw std::runtime_error("FLAC encoder: " + std::string(sf_strerror(encoder.get())));
        }
    }
    return std::move(file.bytes);
}

}  // namespace artlib
