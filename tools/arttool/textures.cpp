#include "tools/arttool/textures.h"

#include <algorithm>
#include <cmath>

#include "tools/arttool/noise.h"
#include "tools/arttool/paint.h"

namespace arttool {

namespace {

using artlib::argb;
using artlib::DdsFormat;

constexpr float pi = 3.14159265f;

// One bay of windows per 128 pixels on both axes: the meshes map 4 units across and 3 up
// to one bay.
void drawWindows(Image& image, Argb frame, Argb glassTop, Argb glassBottom, std::uint32_t seed) {
    for (int by = 0; by < image.height / 128; ++by) {
        for (int bx = 0; bx < image.width / 128; ++bx) {
            const float x0 = bx * 128 + 30.0f, x1 = bx * 128 + 98.0f;
            const float y0 = by * 128 + 24.0f, y1 = by * 128 + 100.0f;
            fillRect(image, x0 - 5, y1, x1 + 5, y1 + 7, scaleRgb(frame, 0.9f));  // sill
            fillRect(image, x0 - 3, y0 - 3, x1 + 3, y1 + 3, frame);
            const float lit = hashUnit(bx, by, seed);
            for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y) {
                for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
                    Argb c = mix(glassTop, glassBottom, (y - y0) / (y1 - y0));
                    // A reflection streak across the pane.
                    if (std::fabs((x - x0) - (y - y0) * 0.6f - 20.0f) < 6.0f) {
                        c = mix(c, argb(255, 230, 240, 255), 0.25f);
                    }
                    image.at(x, y) = lit > 0.75f ? mix(c, argb(255, 255, 210, 130), 0.55f) : c;
                }
            }
            fillRect(image, (x0 + x1) * 0.5f - 2, y0, (x0 + x1) * 0.5f + 2, y1, frame);
            fillRect(image, x0, (y0 + y1) * 0.45f - 2, x1, (y0 + y1) * 0.45f + 2, frame);
        }
    }
}

Image brickFacade() {
    Image image(256, 256);
    fillWith(image, [](float x, float y) {
        const int row = static_cast<int>(y / 8.0f);
        const float offset = row % 2 == 0 ? 0.0f : 8.0f;
        const int column = static_cast<int>((x + offset) / 16.0f);
        const bool mortar = std::fmod(y, 8.0f) < 1.5f || std::fmod(x + offset, 16.0f) < 1.5f;
        if (mortar) {
            return argb(255, 170, 160, 150);
        }
        const float shade = 0.8f + 0.35f * hashUnit(column, row, 5);
        return scaleRgb(argb(255, 150, 62, 45), shade);
    });
    addGrain(image, 16.0f, 0.12f, 6);
    drawWindows(image, argb(255, 235, 230, 220), argb(255, 60, 80, 110), argb(255, 25, 35, 55), 7);
    return image;
}

Image plasterFacade() {
    Image image(256, 256, argb(255, 222, 205, 165));
    addGrain(image, 8.0f, 0.08f, 11);
    for (int y = 0; y < 256; y += 128) {
        fillRect(image, 0, y + 118.0f, 256, y + 128.0f, argb(255, 200, 185, 150));  // storey band
    }
    drawWindows(image, argb(255, 90, 70, 55), argb(255, 70, 95, 105), argb(255, 30, 40, 45), 12);
    return image;
}

Image glassFacade() {
    Image image(256, 256);
    fillWith(image, [](float x, float y) {
        const float sky = 0.6f + 0.4f * std::sin((x + y * 0.5f) * 0.02f);
        Argb c = mix(argb(255, 40, 70, 100), argb(255, 120, 160, 190), sky * 0.5f);
        const int column = static_cast<int>(x / 32.0f);
        const int row = static_cast<int>(y / 64.0f);
        if (hashUnit(column, row, 13) > 0.85f) {
            c = mix(c, argb(255, 255, 220, 150), 0.5f);
        }
        if (std::fmod(x, 32.0f) < 3.0f || std::fmod(y, 64.0f) < 6.0f) {
            c = argb(255, 150, 155, 160);
        }
        return c;
    });
    return image;
}

Image noiseSurface(Argb dark, Argb light, float scale, std::uint32_t seed) {
    Image image(256, 256);
    fillWith(image, [&](float x, float y) {
        return mix(dark, light,
                   fractalNoise(x / scale, y / scale, seed, 5, static_cast<int>(256 / scale)));
    });
    return image;
}

Image asphalt() {
    Image image = noiseSurface(argb(255, 48, 48, 52), argb(255, 88, 88, 92), 16.0f, 21);
    Random random(22);
    for (int i = 0; i < 400; ++i) {
        const int x = static_cast<int>(random.unit() * 256);
        const int y = static_cast<int>(random.unit() * 256);
        image.at(x, y) = scaleRgb(image.at(x, y), random.range(0.6f, 1.5f));
    }
    return image;
}

// Half a street across (v 0 the middle, 1 the kerb), 8 units along: the dashed centre line
// and the gutter.
Image street() {
    Image image = asphalt();
    fillRect(image, 0, 0, 128, 4, argb(255, 235, 230, 210));
    fillRect(image, 0, 244, 256, 256, argb(255, 70, 70, 72));
    return image;
}

Image pavement() {
    Image image = noiseSurface(argb(255, 160, 158, 150), argb(255, 200, 198, 190), 32.0f, 31);
    for (int i = 0; i <= 256; i += 64) {
        fillRect(image, i - 1.5f, 0, i + 1.5f, 256, argb(255, 120, 118, 112));
        fillRect(image, 0, i - 1.5f, 256, i + 1.5f, argb(255, 120, 118, 112));
    }
    return image;
}

Image grass() {
    Image image = noiseSurface(argb(255, 45, 90, 30), argb(255, 110, 150, 55), 32.0f, 41);
    addGrain(image, 2.0f, 0.15f, 42);
    return image;
}

Image roof() {
    Image image = noiseSurface(argb(255, 85, 80, 78), argb(255, 130, 125, 120), 8.0f, 51);
    addGrain(image, 2.0f, 0.2f, 52);
    return image;
}

Image stoneWall() {
    Image image(256, 256);
    fillWith(image, [](float x, float y) {
        const int row = static_cast<int>(y / 32.0f);
        const float offset = row % 2 == 0 ? 0.0f : 24.0f;
        const int column = static_cast<int>((x + offset) / 48.0f);
        if (std::fmod(y, 32.0f) < 3.0f || std::fmod(x + offset, 48.0f) < 3.0f) {
            return argb(255, 90, 88, 80);
        }
        return scaleRgb(argb(255, 150, 145, 130), 0.8f + 0.3f * hashUnit(column, row, 61));
    });
    addGrain(image, 8.0f, 0.15f, 62);
    return image;
}

// The jeep's paint and trim, in regions the body mesh maps to: paint (top half), glass
// (bottom-left quarter), lamps and grille (bottom-right quarter).
Image jeep() {
    Image image(256, 256);
    fillRect(image, 0, 0, 256, 128, argb(255, 52, 92, 60));
    addGrain(image, 32.0f, 0.08f, 71, false);
    fillRect(image, 0, 60, 256, 68, argb(255, 230, 200, 60));  // a stripe along the flanks
    fillWith(image, [&](float x, float y) {
        if (y < 128) {
            return image.at(static_cast<int>(x), static_cast<int>(y));
        }
        if (x < 128) {
            return mix(argb(255, 20, 30, 40), argb(255, 90, 120, 150), (x - y + 128) / 256.0f);
        }
        return argb(255, 30, 30, 30);
    });
    fillCircle(image, 164, 192, 22, argb(255, 255, 250, 220));  // lamps
    fillCircle(image, 220, 192, 22, argb(255, 255, 250, 220));
    for (int i = 0; i < 6; ++i) {
        fillRect(image, 136, 150 + i * 5.0f, 248, 152 + i * 5.0f, argb(255, 90, 90, 90));
    }
    fillRect(image, 136, 226, 248, 250, argb(255, 200, 30, 20));  // tail lamps
    return image;
}

// Left half: the tread seen from the side; right half: the hub face.
Image tyre() {
    Image image(256, 128, argb(255, 25, 25, 25));
    for (int x = 0; x < 128; x += 16) {
        fillRect(image, x + 2.0f, 0, x + 10.0f, 128, argb(255, 45, 45, 45));
    }
    fillCircle(image, 192, 64, 62, argb(255, 30, 30, 30));
    fillCircle(image, 192, 64, 40, argb(255, 190, 190, 195));
    for (int i = 0; i < 6; ++i) {
        const float a = i * pi / 3;
        fillCircle(image, 192 + 26 * std::cos(a), 64 + 26 * std::sin(a), 5, argb(255, 80, 80, 85));
    }
    fillCircle(image, 192, 64, 10, argb(255, 120, 120, 125));
    return image;
}

Image marker() {
    Image image(128, 128);
    fillWith(image, [](float x, float y) {
        return static_cast<int>((x + y) / 16.0f) % 2 == 0 ? argb(255, 230, 40, 30)
                                                          : argb(255, 250, 245, 240);
    });
    return image;
}

Image metal(Argb base, std::uint32_t seed) {
    Image image(64, 64, base);
    addGrain(image, 4.0f, 0.1f, seed);
    return image;
}

Image radialGlow(int size, Argb colour, float falloff) {
    Image image(size, size);
    fillWith(image, [&](float x, float y) {
        const float d = std::hypot(x - size * 0.5f, y - size * 0.5f) / (size * 0.5f);
        const float a = std::pow(std::max(0.0f, 1.0f - d), falloff);
        return withAlpha(colour, static_cast<unsigned>(a * 255.0f));
    });
    return image;
}

Image windowGlow() {
    Image image(64, 64);
    fillWith(image, [](float x, float y) {
        const float dx = std::max(0.0f, std::fabs(x - 32.0f) - 18.0f) / 14.0f;
        const float dy = std::max(0.0f, std::fabs(y - 32.0f) - 18.0f) / 14.0f;
        const float a = std::max(0.0f, 1.0f - std::hypot(dx, dy));
        const bool bar = std::fabs(x - 32.0f) < 1.5f || std::fabs(y - 28.0f) < 1.5f;
        return argb(static_cast<unsigned>(a * (bar ? 120.0f : 255.0f)), 255, 255, 255);
    });
    return image;
}

Image beaconRing() {
    Image image(128, 32);
    fillWith(image, [](float x, float y) {
        const float stripe = 0.5f + 0.5f * std::sin(x / 128.0f * 2.0f * pi * 4.0f);
        const float edge = std::sin(y / 32.0f * pi);
        return argb(static_cast<unsigned>(255 * stripe * edge), 255, 80, 60);
    });
    return image;
}

// A soft ellipse of light thrown ahead of a headlamp.
Image lampDecal() {
    Image image(128, 128);
    fillWith(image, [](float x, float y) {
        const float dx = (x - 64.0f) / 64.0f;
        const float dy = (y - 64.0f) / 64.0f;
        const float a = std::max(0.0f, 1.0f - dx * dx - dy * dy);
        return argb(static_cast<unsigned>(a * a * 255.0f), 255, 250, 225);
    });
    return image;
}

// Two tread bands of a skid mark.
Image tracks() {
    Image image(64, 64);
    fillWith(image, [](float x, float y) {
        const bool band = (x > 6 && x < 24) || (x > 40 && x < 58);
        const float tread = 0.7f + 0.3f * (static_cast<int>(y / 4.0f) % 2);
        return band ? argb(static_cast<unsigned>(150 * tread), 20, 20, 20) : argb(0, 20, 20, 20);
    });
    return image;
}

// The globe, equirectangular: seas, noise continents, ice at the poles.
// The globe around the level is the sky seen from inside it: the texture's top row is the
// zenith, its middle the horizon, with clouds above and haze below.
Image sky() {
    Image image(512, 256);
    fillWith(image, [](float x, float y) {
        const float lon = x / 512.0f * 2.0f * pi;
        const float height = 1.0f - y / 128.0f;  // 1 at the zenith, 0 at the horizon
        if (height <= 0.0f) {
            return mix(argb(255, 185, 195, 200), argb(255, 120, 130, 125),
                       std::min(1.0f, -height * 4.0f));
        }
        const Argb air = mix(argb(255, 190, 210, 230), argb(255, 60, 110, 190),
                             std::sqrt(std::min(1.0f, height * 1.5f)));
        // Clouds on a ring of noise round the sky, so the texture wraps without a seam.
        const float px = std::cos(lon) * 4.0f + 10.0f;
        const float pz = std::sin(lon) * 4.0f + 10.0f;
        const float cloud = fractalNoise(px + pz * 0.7f, height * 6.0f + pz * 0.3f, 81, 5);
        const float cover =
            std::clamp((cloud - 0.5f) * 3.0f, 0.0f, 1.0f) * std::min(1.0f, height * 5.0f);
        return mix(air, argb(255, 245, 245, 250), cover);
    });
    return image;
}

// Ticks of a dial centred at (cx, cy): `count` + 1 marks from image angle `from` to `to`
// (y downwards), the last few red.
void drawDialTicks(Image& image, float cx, float cy, float inner, float outer, float from, float to,
                   int count) {
    for (int i = 0; i <= count; ++i) {
        const float a = from + (to - from) * i / count;
        const float c = std::cos(a), s = std::sin(a);
        drawLine(image, cx + c * inner, cy + s * inner, cx + c * outer, cy + s * outer,
                 i % 2 == 0 ? outer * 0.05f : outer * 0.025f,
                 i >= count - 1 ? argb(255, 230, 40, 30) : argb(255, 240, 240, 240));
    }
}

// The cockpit's dashboard: a radar screen on the left, the speedometer on the right. The
// cockpit needle turns from straight down (0) through the right to straight up (80).
Image panel() {
    Image image(512, 128, argb(255, 35, 35, 38));
    addGrain(image, 4.0f, 0.12f, 91, false);
    fillRoundRect(image, 6, 6, 506, 122, 14, argb(255, 55, 55, 60));
    fillCircle(image, 96, 64, 54, argb(255, 10, 40, 20));
    for (int r = 18; r <= 54; r += 18) {
        strokeCircle(image, 96, 64, static_cast<float>(r), 1.5f, argb(255, 60, 200, 90));
    }
    fillRect(image, 150, 12, 162, 116, argb(255, 20, 20, 22));  // the signal bar's slot
    fillCircle(image, 416, 64, 54, argb(255, 20, 20, 22));
    strokeCircle(image, 416, 64, 52, 3, argb(255, 200, 200, 200));
    drawDialTicks(image, 416, 64, 38, 50, pi * 0.5f, -pi * 0.5f, 8);
    return image;
}

// The outside view's speedometer: its needle turns from the left (0) through the bottom and
// the right to the top (80), three quarters of a turn.
Image gauge() {
    Image image(256, 256, argb(0, 0, 0, 0));
    fillCircle(image, 128, 128, 124, argb(230, 20, 20, 22));
    strokeCircle(image, 128, 128, 116, 4, argb(255, 200, 200, 200));
    drawDialTicks(image, 128, 128, 92, 110, pi, -pi * 0.5f, 12);
    fillCircle(image, 128, 128, 10, argb(255, 200, 200, 200));
    return image;
}

Image needle() {
    Image image(64, 64, argb(255, 240, 90, 20));
    return image;
}

Image radar() {
    Image image(256, 256, argb(0, 0, 0, 0));
    fillCircle(image, 128, 128, 124, argb(200, 10, 40, 20));
    for (int r = 30; r <= 120; r += 30) {
        strokeCircle(image, 128, 128, r, 2, argb(255, 60, 200, 90));
    }
    drawLine(image, 128, 8, 128, 248, 2, argb(255, 60, 200, 90));
    drawLine(image, 8, 128, 248, 128, 2, argb(255, 60, 200, 90));
    return image;
}

}  // namespace

void makeTextures(const ArtOutput& out) {
    out.writeTexture(tex::brick, brickFacade(), DdsFormat::Dxt1);
    out.writeTexture(tex::plaster, plasterFacade(), DdsFormat::Dxt1);
    out.writeTexture(tex::glass, glassFacade(), DdsFormat::Dxt1);
    out.writeTexture(tex::roof, roof(), DdsFormat::Dxt1);
    out.writeTexture(tex::asphalt, asphalt(), DdsFormat::Dxt1);
    out.writeTexture(tex::street, street(), DdsFormat::Dxt1);
    out.writeTexture(tex::pavement, pavement(), DdsFormat::Dxt1);
    out.writeTexture(tex::grass, grass(), DdsFormat::Dxt1);
    out.writeTexture(tex::stone, stoneWall(), DdsFormat::Dxt1);
    out.writeTexture(tex::jeep, jeep(), DdsFormat::Dxt1);
    out.writeTexture(tex::tyre, tyre(), DdsFormat::Dxt1);
    out.writeTexture(tex::marker, marker(), DdsFormat::Dxt1);
    out.writeTexture(tex::lampPost, metal(argb(255, 50, 55, 60), 101), DdsFormat::Dxt1);
    out.writeTexture(tex::panel, panel(), DdsFormat::Dxt1);
    out.writeTexture(tex::gauge, gauge(), DdsFormat::Dxt5);
    out.writeTexture(tex::needle, needle(), DdsFormat::Dxt1);
    out.writeTexture(tex::radar, radar(), DdsFormat::Dxt5);
    out.writeTexture(tex::steering, metal(argb(255, 30, 28, 26), 102), DdsFormat::Dxt1);
    out.writeTexture(tex::signal, Image(16, 16, argb(255, 80, 230, 110)), DdsFormat::Dxt1);

    out.writeTexture("effects/flare", radialGlow(64, argb(255, 255, 255, 255), 2.0f),
                     DdsFormat::Dxt5);
    out.writeTexture("effects/window", windowGlow(), DdsFormat::Dxt5);
    out.writeTexture("effects/beacon_ring", beaconRing(), DdsFormat::Dxt5);
    out.writeTexture("effects/lamp_decal", lampDecal(), DdsFormat::Dxt5);
    out.writeTexture("misc/tracks", tracks(), DdsFormat::Dxt5);
    const Image globe = sky();
    // Uncompressed: a software rasteriser samples it for most of the screen every frame, and
    // decoding blocks costs it more than reading plain texels.
    out.writeTexture("misc/Earth", globe, DdsFormat::Argb8);
    out.writePicture("sky.png", globe);
}

}  // namespace arttool
