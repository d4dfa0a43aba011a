#include "tools/arttool/sounds.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/artlib/wav_writer.h"
#include "tools/arttool/noise.h"

namespace arttool {

namespace {

constexpr int rate = 22050;
constexpr float pi = 3.14159265358979f;
constexpr float twoPi = 2.0f * pi;

using Samples = std::vector<float>;

Samples silence(float seconds) {
    return Samples(static_cast<std::size_t>(seconds * rate), 0.0f);
}

float seconds(std::size_t i) {
    return static_cast<float>(i) / rate;
}

// A loop's waveform is periodic when every partial makes whole cycles over the loop; a
// filter run twice round the loop starts its second pass in its steady state.
void lowPassLooped(Samples& s, float cutoff) {
    const float a = 1.0f - std::exp(-twoPi * cutoff / rate);
    float y = 0.0f;
    Samples out(s.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            y += a * (s[i] - y);
            out[i] = y;
        }
    }
    s = out;
}

void lowPass(Samples& s, float cutoff) {
    const float a = 1.0f - std::exp(-twoPi * cutoff / rate);
    float y = 0.0f;
    for (float& v : s) {
        y += a * (v - y);
        v = y;
    }
}

Samples noise(std::size_t count, std::uint32_t seed) {
    Random random(seed);
    Samples s(count);
    for (float& v : s) {
        v = random.range(-1.0f, 1.0f);
    }
    return s;
}

void normalise(Samples& s, float peak) {
    float top = 0.0f;
    for (const float v : s) {
        top = std::max(top, std::fabs(v));
    }
    if (top > 0.0f) {
        for (float& v : s) {
            v *= peak / top;
        }
    }
}

// A soft saturation that lifts the quiet parts towards the peaks: the music's notes are
// short and its peaks far above its body, so normalising alone leaves it faint.
void compress(Samples& s, float drive) {
    normalise(s, 1.0f);
    const float top = std::tanh(drive);
    for (float& v : s) {
        v = std::tanh(v * drive) / top;
    }
}

// Short fades at both ends so one-shots start and stop without a click.
void fadeEnds(Samples& s, float in = 0.005f, float out = 0.02f) {
    const auto inCount = static_cast<std::size_t>(in * rate);
    const auto outCount = static_cast<std::size_t>(out * rate);
    for (std::size_t i = 0; i < inCount && i < s.size(); ++i) {
        s[i] *= static_cast<float>(i) / inCount;
    }
    for (std::size_t i = 0; i < outCount && i < s.size(); ++i) {
        s[s.size() - 1 - i] *= static_cast<float>(i) / outCount;
    }
}

void save(const ArtOutput& out, const std::string& name, Samples samples) {
    artlib::Sound sound;
    sound.rate = rate;
    sound.samples = std::move(samples);
    out.write("audio/" + name, artlib::wavBytes(sound));
}

// One second of engine: harmonics of the firing frequency (whole hertz, so the second
// loops), a throb at a whole-hertz rate, and looped rumble.
Samples engine(int firing, int throb, float roughness, std::uint32_t seed) {
    Samples s(rate);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds(i);
        float v = 0.0f;
        for (int h = 1; h <= 8; ++h) {
            const float phase = hashUnit(h, 0, seed) * twoPi;
            v += std::sin(twoPi * firing * h * t + phase) / (h * 0.8f + 0.2f);
        }
        v *= 0.8f + 0.2f * std::sin(twoPi * throb * t);
        s[i] = v;
    }
    Samples rumble = noise(s.size(), seed);
    lowPassLooped(rumble, 300.0f + firing * 4.0f);
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] += rumble[i] * roughness * 6.0f;
    }
    // Four loops sound together under the music and the one-shots; at the idle's full
    // volume the engine leaves the game's music (at 0.7 of its master volume) audible.
    normalise(s, 0.3f);
    return s;
}

Samples skid(float length, float pitch, std::uint32_t seed) {
    Samples s = noise(static_cast<std::size_t>(length * rate), seed);
    lowPass(s, 2500.0f);
    float phase = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds(i);
        const float f = pitch * (1.0f + 0.03f * std::sin(twoPi * 7.0f * t)) *
                        (1.0f + 0.2f * valueNoise(t * 6.0f, 0.0f, seed));
        phase += twoPi * f / rate;
        const float envelope = std::min(1.0f, t / 0.05f) * std::min(1.0f, (length - t) / 0.15f);
        s[i] = envelope * (0.5f * s[i] + 0.5f * std::sin(phase) + 0.15f * std::sin(2.0f * phase));
    }
    normalise(s, 0.5f);
    fadeEnds(s);
    return s;
}

Samples crash(float length, float thump, std::uint32_t seed) {
    Samples s = noise(static_cast<std::size_t>(length * rate), seed);
    Samples body = s;
    lowPass(body, 400.0f);
    Random random(seed + 7);
    float partials[5];
    for (float& p : partials) {
        p = random.range(400.0f, 2600.0f);
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds(i);
        float metal = 0.0f;
        for (const float p : partials) {
            metal += std::sin(twoPi * p * t) * std::exp(-t * 9.0f);
        }
        s[i] = s[i] * std::exp(-t * 14.0f) * 0.6f + body[i] * std::exp(-t * 5.0f) * 3.0f +
               std::sin(twoPi * thump * t * (1.0f - 0.3f * t)) * std::exp(-t * 8.0f) +
               metal * 0.12f;
    }
    normalise(s, 0.9f);
    fadeEnds(s, 0.001f, 0.05f);
    return s;
}

Samples tone(float frequency, float length, float decay, float brightness) {
    Samples s(static_cast<std::size_t>(length * rate));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = seconds(i);
        float v = 0.0f;
        for (int h = 1; h <= 4; ++h) {
            v += std::sin(twoPi * frequency * h * t) *
                 std::pow(brightness, static_cast<float>(h - 1));
        }
        s[i] = v * std::exp(-t * decay);
    }
    fadeEnds(s);
    return s;
}

void mixAt(Samples& into, const Samples& sound, float start, float gain, bool wrap = false) {
    const auto at = static_cast<std::size_t>(start * rate);
    for (std::size_t i = 0; i < sound.size(); ++i) {
        std::size_t j = at + i;
        if (j >= into.size()) {
            if (!wrap) {
                break;
            }
            j %= into.size();
        }
        into[j] += sound[i] * gain;
    }
}

float note(int semitonesFromA4) {
    return 440.0f * std::pow(2.0f, semitonesFromA4 / 12.0f);
}

// A bar-based loop: bass, chord pad, lead and drums. Tails wrap to the loop's start so it
// repeats without a seam.
Samples music(int bars, float bpm, const std::vector<int>& roots, const std::vector<int>& melody,
              bool minor, std::uint32_t seed) {
    const float beat = 60.0f / bpm;
    Samples s = silence(bars * 4 * beat);
    const Samples kick = [&] {
        Samples k(static_cast<std::size_t>(0.25f * rate));
        for (std::size_t i = 0; i < k.size(); ++i) {
            const float t = seconds(i);
            k[i] =
                std::sin(twoPi * (50.0f + 90.0f * std::exp(-t * 30.0f)) * t) * std::exp(-t * 12.0f);
        }
        return k;
    }();
    Samples snare = noise(static_cast<std::size_t>(0.18f * rate), seed);
    for (std::size_t i = 0; i < snare.size(); ++i) {
        snare[i] *= std::exp(-seconds(i) * 22.0f);
    }
    Samples hat = noise(static_cast<std::size_t>(0.05f * rate), seed + 1);
    for (std::size_t i = 1; i < hat.size(); ++i) {
        hat[i] = (hat[i] - hat[i - 1]) * std::exp(-seconds(i) * 60.0f);
    }
    const int third = minor ? 3 : 4;
    for (int bar = 0; bar < bars; ++bar) {
        const int root = roots[bar % roots.size()];
        for (int b = 0; b < 4; ++b) {
            const float at = (bar * 4 + b) * beat;
            mixAt(s, kick, at, b % 2 == 0 ? 0.8f : 0.0f, true);
            mixAt(s, snare, at, b % 2 == 1 ? 0.35f : 0.0f, true);
            mixAt(s, hat, at + beat * 0.5f, 0.2f, true);
            mixAt(s, tone(note(root - 24), beat * 0.9f, 3.0f, 0.5f), at, 0.35f, true);
        }
        for (const int interval : {0, third, 7}) {
            mixAt(s, tone(note(root + interval - 12), beat * 4.0f, 0.6f, 0.3f), bar * 4 * beat,
                  0.08f, true);
        }
        for (int step = 0; step < 8; ++step) {
            const int degree = melody[(bar * 8 + step) % melody.size()];
            if (degree >= 0) {
                mixAt(s, tone(note(root + degree), beat * 0.45f, 5.0f, 0.4f),
                      (bar * 4 + step * 0.5f) * beat, 0.12f, true);
            }
        }
    }
    normalise(s, 0.7f);
    return s;
}

Samples ambient(int index) {
    const auto seed = static_cast<std::uint32_t>(100 + index);
    Random random(seed);
    const float length = 2.0f + (index % 3);
    Samples s = silence(length);
    switch (index % 5) {
        case 0: {  // birds: quick chirps sweeping up
            for (int c = 0; c < 6; ++c) {
                const float start = random.range(0.0f, length - 0.3f);
                const float base = random.range(2500.0f, 4000.0f);
                Samples chirp(static_cast<std::size_t>(0.12f * rate));
                float phase = 0.0f;
                for (std::size_t i = 0; i < chirp.size(); ++i) {
                    const float t = seconds(i);
                    phase += twoPi * base * (1.0f + 3.0f * t) / rate;
                    chirp[i] = std::sin(phase) * std::sin(pi * t / 0.12f);
                }
                mixAt(s, chirp, start, 0.4f);
            }
            break;
        }
        case 1: {  // wind: slowly swelling filtered noise
            Samples wind = noise(s.size(), seed);
            lowPass(wind, 500.0f);
            for (std::size_t i = 0; i < s.size(); ++i) {
                const float t = seconds(i);
                s[i] = wind[i] * (0.3f + 0.7f * valueNoise(t * 1.5f, 0.0f, seed)) *
                       std::sin(pi * t / length);
            }
            break;
        }
        case 2: {  // a bell far away
            Samples bell(s.size());
            const float f = random.range(300.0f, 500.0f);
            for (std::size_t i = 0; i < bell.size(); ++i) {
                const float t = seconds(i);
                bell[i] = (std::sin(twoPi * f * t) + 0.6f * std::sin(twoPi * f * 2.76f * t) +
                           0.3f * std::sin(twoPi * f * 5.4f * t)) *
                          std::exp(-t * 1.2f);
            }
            mixAt(s, bell, 0.0f, 0.4f);
            break;
        }
        case 3: {  // a horn down the street
            const float f = random.range(300.0f, 420.0f);
            mixAt(s, tone(f, 0.35f, 0.5f, 0.7f), 0.1f, 0.3f);
            mixAt(s, tone(f * 1.26f, 0.5f, 0.5f, 0.7f), 0.55f, 0.3f);
            break;
        }
        default: {  // a dog barking
            for (int b = 0; b < 3; ++b) {
                Samples bark = noise(static_cast<std::size_t>(0.15f * rate), seed + b);
                lowPass(bark, 900.0f);
                for (std::size_t i = 0; i < bark.size(); ++i) {
                    const float t = seconds(i);
                    bark[i] = (bark[i] * 2.0f + std::sin(twoPi * 420.0f * t * (1.0f - t))) *
                              std::sin(pi * t / 0.15f);
                }
                mixAt(s, bark, 0.2f + b * 0.35f + random.range(0.0f, 0.1f), 0.5f);
            }
            break;
        }
    }
    normalise(s, 0.5f);
    fadeEnds(s);
    return s;
}

Samples jingle(const std::vector<int>& notes, float step, float decay) {
    Samples s = silence(step * notes.size() + 1.2f);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const float length = i + 1 == notes.size() ? 1.2f : step * 1.5f;
        mixAt(s, tone(note(notes[i]), length, decay, 0.5f), step * i, 0.5f);
        mixAt(s, tone(note(notes[i] - 12), length, decay, 0.3f), step * i, 0.3f);
    }
    normalise(s, 0.7f);
    fadeEnds(s);
    return s;
}

}  // namespace

void makeSounds(const ArtOutput& out) {
    save(out, "engine_idle.wav", engine(28, 4, 0.05f, 1));
    save(out, "engine_lo.wav", engine(45, 6, 0.06f, 2));
    save(out, "engine_mid.wav", engine(70, 9, 0.07f, 3));
    save(out, "engine_hi.wav", engine(105, 13, 0.08f, 4));

    save(out, "skid1.wav", skid(0.7f, 850.0f, 11));
    save(out, "skid2.wav", skid(0.9f, 720.0f, 12));
    save(out, "crash1.wav", crash(0.8f, 70.0f, 21));
    save(out, "crash2.wav", crash(1.0f, 55.0f, 22));
    save(out, "crash3.wav", crash(0.6f, 90.0f, 23));
    Samples beep = tone(1200.0f, 0.12f, 4.0f, 0.2f);
    normalise(beep, 0.5f);
    save(out, "beep.wav", beep);

    for (int i = 1; i <= 15; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ambient%02d.wav", i);
        save(out, name, ambient(i));
    }
    save(out, "win.wav", jingle({3, 7, 10, 15, 19, 22}, 0.14f, 2.0f));
    save(out, "lose.wav", jingle({10, 6, 3, -2, -5}, 0.28f, 1.5f));

    const std::vector<int> hook = {0, -1, 7, -1, 12, 10, 7, -1, 5, -1, 3, 5, 7, -1, -1, -1};
    const std::vector<int> calm = {7, -1, -1, 5, 3, -1, -1, -1, 0, -1, 3, -1, 5, -1, -1, -1};
    save(out, "video01.wav", music(4, 120.0f, {0, -4, 3, -2}, hook, false, 31));
    save(out, "video02.wav", music(4, 100.0f, {-5, 0, -2, -7}, calm, true, 32));
    save(out, "video03.wav", music(4, 110.0f, {0, 5, -2, 3}, hook, true, 33));
    save(out, "video04.wav", music(4, 90.0f, {2, -3, 0, -5}, calm, false, 34));
    save(out, "video05.wav", music(4, 130.0f, {0, 3, 5, 3}, hook, true, 35));
    // The level's music plays under the engine: denser than the videos' soundtracks.
    Samples background = music(8, 128.0f, {0, 0, -4, -4, 3, 3, -2, 5}, hook, true, 36);
    compress(background, 2.5f);
    normalise(background, 0.9f);
    save(out, "battle1.wav", background);
}

}  // namespace arttool
