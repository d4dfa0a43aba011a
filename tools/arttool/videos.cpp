#include "tools/arttool/videos.h"

#include <cmath>
#include <functional>
#include <vector>

#include "tools/artlib/png_writer.h"
#include "tools/artlib/video_writer.h"
#include "tools/arttool/scenery.h"

namespace arttool {

namespace {

using artlib::argb;

constexpr int framesPerSecond = 25;  // 40 ms a frame
constexpr int frameWidth = 512;
constexpr int frameHeight = 384;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The 1024 x 768 top of a scene, halved.
Image halvedScene(const Image& scene) {
    Image top(1024, 768);
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            top.at(x, y) = scene.at(x, y);
        }
    }
    return artlib::mipChain(top)[1];
}

void fade(Image& image, float brightness) {
    for (Argb& c : image.pixels) {
        c = scaleRgb(c, brightness);
    }
}

void save(const ArtOutput& out, const std::string& name, int frames,
          const std::function<Image(float seconds)>& frame) {
    std::vector<artlib::Bytes> pngs;
    for (int i = 0; i < frames; ++i) {
        const Image image = frame(static_cast<float>(i) / framesPerSecond);
        pngs.push_back(artlib::pngBytes(image));
        if (i == frames / 2) {
            out.writePicture(name + "_frame.png", image);
        }
    }
    out.write("video/" + name + ".rs", artlib::videoBytes(pngs));
}

}  // namespace

void makeVideos(const ArtOutput& out, const TextPainter& text) {
    Image night(1024, 1024);
    drawScene(night, 21, argb(255, 10, 15, 50), argb(255, 200, 90, 60));
    const Image title = halvedScene(night);
    // Title: the town fades in, the name grows into place, a line follows.
    save(out, "video01", 3 * framesPerSecond + 10, [&](float t) {
        Image image = title;
        fade(image, smoothstep(0.0f, 1.0f, t));
        const float grow = smoothstep(0.6f, 1.8f, t);
        if (grow > 0.0f) {
            const int size = static_cast<int>(20 + 44 * grow);
            const Argb gold = argb(static_cast<unsigned>(255 * grow), 255, 176, 40);
            text.drawCentred(image, "MORVALE 4x4", size, frameWidth * 0.5f + 2, 92,
                             argb(static_cast<unsigned>(160 * grow), 0, 0, 0));
            text.drawCentred(image, "MORVALE 4x4", size, frameWidth * 0.5f, 90, gold);
        }
        const float line = smoothstep(2.0f, 2.6f, t);
        if (line > 0.0f) {
            text.drawCentred(image, "ten minutes. one town. find the beacon.", 16,
                             frameWidth * 0.5f, 140,
                             argb(static_cast<unsigned>(255 * line), 255, 255, 255));
        }
        return image;
    });

    Image dusk(1024, 1024);
    drawScene(dusk, 22, argb(255, 40, 70, 140), argb(255, 240, 170, 100));
    const Image street = halvedScene(dusk);
    // Into town: the jeep drives in from the left and stops, then the goal is shown.
    save(out, "video02", 4 * framesPerSecond, [&](float t) {
        Image image = street;
        const float x = -200.0f + 330.0f * smoothstep(0.0f, 2.2f, t);
        const float bounce = std::fabs(std::sin(t * 9.0f)) * (t < 2.2f ? 2.0f : 0.0f);
        drawJeep(image, x, 250.0f - bounce, 1.0f, argb(255, 52, 92, 60));
        const float caption = smoothstep(2.4f, 3.0f, t);
        if (caption > 0.0f) {
            const auto alpha = static_cast<unsigned>(255 * caption);
            fillRect(image, 0, 20, frameWidth, 70, argb(alpha * 3 / 5, 0, 0, 0));
            text.drawCentred(image, "the beacon waits across town", 22, frameWidth * 0.5f, 45,
                             argb(alpha, 255, 255, 255));
        }
        fade(image, 1.0f - smoothstep(3.6f, 4.0f, t) * 0.9f);
        return image;
    });
}

}  // namespace arttool
