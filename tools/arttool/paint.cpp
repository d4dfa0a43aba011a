#include "tools/arttool/paint.h"

#include <algorithm>
#include <cmath>

#include "tools/arttool/noise.h"

namespace arttool {

namespace {

unsigned lerpChannel(unsigned a, unsigned b, float t) {
    return static_cast<unsigned>(std::lround(a + (static_cast<float>(b) - a) * t));
}

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// Coverage of a pixel by a shape given as a signed distance (negative inside).
float coverage(float distance) {
    return clamp01(0.5f - distance);
}

template <class Distance>
void fillByDistance(Image& image, float x0, float y0, float x1, float y1, Argb colour,
                    Distance distance) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(image.width, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(image.height, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            const float c = coverage(distance(x + 0.5f, y + 0.5f));
            if (c > 0.0f) {
                image.at(x, y) = artlib::blend(image.at(x, y), colour, c);
            }
        }
    }
}

}  // namespace

Argb mix(Argb a, Argb b, float t) {
    t = clamp01(t);
    return artlib::argb(lerpChannel(artlib::alphaOf(a), artlib::alphaOf(b), t),
                        lerpChannel(artlib::redOf(a), artlib::redOf(b), t),
                        lerpChannel(artlib::greenOf(a), artlib::greenOf(b), t),
                        lerpChannel(artlib::blueOf(a), artlib::blueOf(b), t));
}

Argb scaleRgb(Argb c, float factor) {
    auto channel = [&](unsigned v) {
        return static_cast<unsigned>(std::clamp(std::lround(v * factor), 0l, 255l));
    };
    return artlib::argb(artlib::alphaOf(c), channel(artlib::redOf(c)), channel(artlib::greenOf(c)),
                        channel(artlib::blueOf(c)));
}

Argb withAlpha(Argb c, unsigned alpha) {
    return (c & 0x00ffffffu) | (alpha & 0xffu) << 24;
}

void fillWith(Image& image, const std::function<Argb(float x, float y)>& colour) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.at(x, y) = colour(x + 0.5f, y + 0.5f);
        }
    }
}

void fillRect(Image& image, float x0, float y0, float x1, float y1, Argb colour) {
    fillByDistance(image, x0, y0, x1, y1, colour, [&](float x, float y) {
        return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1));
    });
}

void fillRoundRect(Image& image, float x0, float y0, float x1, float y1, float radius,
                   Argb colour) {
    const float cx = (x0 + x1) * 0.5f;
    const float cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - radius;
    const float hy = (y1 - y0) * 0.5f - radius;
    fillByDistance(image, x0, y0, x1, y1, colour, [&](float x, float y) {
        const float qx = std::fabs(x - cx) - hx;
        const float qy = std::fabs(y - cy) - hy;
        const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    });
}

void fillCircle(Image& image, float cx, float cy, float radius, Argb colour) {
    fillByDistance(image, cx - radius, cy - radius, cx + radius, cy + radius, colour,
                   [&](float x, float y) { return std::hypot(x - cx, y - cy) - radius; });
}

void strokeCircle(Image& image, float cx, float cy, float radius, float width, Argb colour) {
    const float r = radius + width;
    fillByDistance(image, cx - r, cy - r, cx + r, cy + r, colour, [&](float x, float y) {
        return std::fabs(std::hypot(x - cx, y - cy) - radius) - width * 0.5f;
    });
}

void drawLine(Image& image, float x0, float y0, float x1, float y1, float width, Argb colour) {
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    fillByDistance(image, std::min(x0, x1) - width, std::min(y0, y1) - width,
                   std::max(x0, x1) + width, std::max(y0, y1) + width, colour,
                   [&](float x, float y) {
                       const float t = clamp01(((x - x0) * dx + (y - y0) * dy) / length2);
                       return std::hypot(x - x0 - t * dx, y - y0 - t * dy) - width * 0.5f;
                   });
}

void fillPolygon(Image& image, const std::vector<float>& points, Argb colour) {
    float minX = image.width, minY = image.height, maxX = 0, maxY = 0;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        minX = std::min(minX, points[i]);
        maxX = std::max(maxX, points[i]);
        minY = std::min(minY, points[i + 1]);
        maxY = std::max(maxY, points[i + 1]);
    }
    auto inside = [&](float x, float y) {
        int winding = 0;
        const std::size_t n = points.size() / 2;
        for (std::size_t i = 0; i < n; ++i) {
            const float ax = points[2 * i], ay = points[2 * i + 1];
            const float bx = points[2 * ((i + 1) % n)], by = points[2 * ((i + 1) % n) + 1];
            if ((ay <= y) != (by <= y)) {
                const float t = (y - ay) / (by - ay);
                if (ax + t * (bx - ax) > x) {
                    winding += by > ay ? 1 : -1;
                }
            }
        }
        return winding != 0;
    };
    const int ix0 = std::max(0, static_cast<int>(minX));
    const int iy0 = std::max(0, static_cast<int>(minY));
    const int ix1 = std::min(image.width, static_cast<int>(maxX) + 1);
    const int iy1 = std::min(image.height, static_cast<int>(maxY) + 1);
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            int hits = 0;
            for (int s = 0; s < 16; ++s) {
                hits += inside(x + (s % 4 + 0.5f) / 4.0f, y + (s / 4 + 0.5f) / 4.0f) ? 1 : 0;
            }
            if (hits > 0) {
                image.at(x, y) = artlib::blend(image.at(x, y), colour, hits / 16.0f);
            }
        }
    }
}

void drawImage(Image& target, const Image& source, int x, int y) {
    for (int sy = 0; sy < source.height; ++sy) {
        for (int sx = 0; sx < source.width; ++sx) {
            const int tx = x + sx;
            const int ty = y + sy;
            if (tx >= 0 && ty >= 0 && tx < target.width && ty < target.height) {
                target.at(tx, ty) = artlib::blend(target.at(tx, ty), source.at(sx, sy));
            }
        }
    }
}

Image scaled(const Image& source, int width, int height) {
    Image out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out.at(x, y) = source.at(x * source.width / width, y * source.height / height);
        }
    }
    return out;
}

void addGrain(Image& image, float scale, float strength, std::uint32_t seed, bool tiles) {
    const int period = tiles ? static_cast<int>(std::lround(image.width / scale)) : 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float n = fractalNoise(x / scale, y / scale, seed, 4, period);
            image.at(x, y) = scaleRgb(image.at(x, y), 1.0f + (n - 0.5f) * 2.0f * strength);
        }
    }
}

}  // namespace arttool
