// Sound files written by the tests themselves, and measurements of rendered sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dmusic_testing {

enum class SampleType { Int16, Float32 };

struct Tone {
    double seconds = 0.5;
    double frequency = 440.0;
    double amplitude = 0.5;
    int rate = 44100;
    int channels = 1;
    SampleType type = SampleType::Int16;
    double silentStart = 0.0;  // seconds of silence at the start, inside `seconds`
};

// Writes a RIFF/WAVE file holding a sine tone.
void writeToneWav(const std::string& path, const Tone& tone);
// Writes arbitrary bytes (for broken files).
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder under the system's temporary folder, removed with its files on
// destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::wstring wide() const { return std::wstring(path_.begin(), path_.end()); }

private:
    std::string path_;
};

// Root mean square of one channel (0 left, 1 right) of interleaved stereo samples, over
// frames [first, last).
double rms(const std::vector<float>& stereo, int channel, std::size_t first, std::size_t last);
// Index of the first frame whose left sample exceeds `threshold` in magnitude, starting
// at `from`; the frame count when there is none.
std::size_t firstLoudFrame(const std::vector<float>& stereo, float threshold, std::size_t from = 0);

}  // namespace dmusic_testing
