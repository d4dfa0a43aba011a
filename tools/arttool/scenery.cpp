#include "tools/arttool/scenery.h"

#include <cmath>
#include <vector>

#include "tools/arttool/noise.h"

namespace arttool {

using artlib::argb;

// Dusk over the town: sky, hills, a skyline with lit windows and a road.
void drawScene(Image& image, std::uint32_t seed, Argb skyTop, Argb skyBottom) {
    constexpr int width = 1024;
    constexpr int height = 768;
    fillWith(image, [&](float x, float y) {
        if (y >= height) {
            return argb(255, 0, 0, 0);
        }
        Argb sky = mix(skyTop, skyBottom, y / (height * 0.7f));
        const float cloud = fractalNoise(x / 160.0f, y / 50.0f, seed, 4);
        if (cloud > 0.6f && y < height * 0.5f) {
            sky = mix(sky, argb(255, 250, 200, 170), (cloud - 0.6f) * 1.5f);
        }
        return sky;
    });
    // Hills.
    for (int x = 0; x < width; ++x) {
        const float top = height * 0.55f - 60.0f * fractalNoise(x / 200.0f, 0.0f, seed + 1, 3);
        fillRect(image, static_cast<float>(x), top, x + 1.0f, height, argb(255, 40, 50, 60));
    }
    // Skyline.
    Random random(seed + 2);
    float x = -20.0f;
    while (x < width) {
        const float w = random.range(40.0f, 110.0f);
        const float h = random.range(80.0f, 300.0f);
        const float base = height * 0.72f;
        const Argb wall = mix(argb(255, 20, 24, 36), argb(255, 40, 44, 60), random.unit());
        fillRect(image, x, base - h, x + w, base, wall);
        for (float wy = base - h + 12; wy < base - 14; wy += 18) {
            for (float wx = x + 8; wx < x + w - 10; wx += 16) {
                if (random.unit() > 0.55f) {
                    fillRect(image, wx, wy, wx + 7, wy + 9, argb(255, 255, 205, 120));
                }
            }
        }
        x += w + random.range(2.0f, 20.0f);
    }
    // Road in perspective.
    const float horizon = height * 0.72f;
    fillRect(image, 0, horizon, width, height, argb(255, 30, 34, 30));
    fillPolygon(image, {480, horizon, 544, horizon, 1024, 768, 0, 768}, argb(255, 55, 55, 60));
    for (int i = 0; i < 8; ++i) {
        const float t0 = std::pow(i / 8.0f, 2.0f), t1 = std::pow((i + 0.5f) / 8.0f, 2.0f);
        const float y0 = horizon + t0 * (height - horizon);
        const float y1 = horizon + t1 * (height - horizon);
        fillPolygon(image,
                    {512 - 2 - 10 * t0, y0, 512 + 2 + 10 * t0, y0, 512 + 2 + 10 * t1, y1,
                     512 - 2 - 10 * t1, y1},
                    argb(255, 230, 220, 150));
    }
}

// A boxy off-roader from the side, 182 units long at scale 1.
void drawJeep(Image& image, float x, float y, float scale, Argb paint) {
    auto p = [&](std::vector<float> points) {
        for (std::size_t i = 0; i < points.size(); i += 2) {
            points[i] = x + points[i] * scale;
            points[i + 1] = y + points[i + 1] * scale;
        }
        return points;
    };
    fillPolygon(image, p({0, 40, 10, 22, 60, 20, 78, 0, 150, 0, 158, 22, 180, 26, 182, 52, 0, 52}),
                paint);
    fillPolygon(image, p({84, 6, 112, 6, 112, 20, 72, 20}), argb(255, 140, 180, 210));
    fillPolygon(image, p({118, 6, 146, 6, 152, 20, 118, 20}), argb(255, 140, 180, 210));
    fillRect(image, x + 174 * scale, y + 30 * scale, x + 182 * scale, y + 38 * scale,
             argb(255, 255, 240, 180));
    fillRect(image, x + 60 * scale, y + 30 * scale, x + 180 * scale, y + 34 * scale,
             argb(255, 230, 200, 60));
    for (const float cx : {38.0f, 140.0f}) {
        fillCircle(image, x + cx * scale, y + 52 * scale, 20 * scale, argb(255, 20, 20, 20));
        fillCircle(image, x + cx * scale, y + 52 * scale, 10 * scale, argb(255, 180, 180, 185));
    }
    drawLine(image, x + 150 * scale, y, x + 156 * scale, y - 40 * scale, 2 * scale,
             argb(255, 30, 30, 30));
}

}  // namespace arttool
