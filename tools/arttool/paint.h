// Drawing into pictures: shapes with soft edges, gradients and noise, all in floating-point
// pixel coordinates (a pixel's centre is at +0.5).
#pragma once

#include <functional>

#include "tools/artlib/image.h"

namespace arttool {

using artlib::Argb;
using artlib::Image;

Argb mix(Argb a, Argb b, float t);
Argb scaleRgb(Argb c, float factor);
Argb withAlpha(Argb c, unsigned alpha);

// Every pixel set from its centre's position.
void fillWith(Image& image, const std::function<Argb(float x, float y)>& colour);
void fillRect(Image& image, float x0, float y0, float x1, float y1, Argb colour);
void fillRoundRect(Image& image, float x0, float y0, float x1, float y1, float radius, Argb colour);
void fillCircle(Image& image, float cx, float cy, float radius, Argb colour);
void strokeCircle(Image& image, float cx, float cy, float radius, float width, Argb colour);
void drawLine(Image& image, float x0, float y0, float x1, float y1, float width, Argb colour);
// A polygon given as x, y pairs (non-zero winding, antialiased by 4 x 4 samples).
void fillPolygon(Image& image, const std::vector<float>& points, Argb colour);
// Copies `source` into `target` with its top-left at (x, y), blending by alpha.
void drawImage(Image& target, const Image& source, int x, int y);
// A nearest-sample scaled copy.
Image scaled(const Image& source, int width, int height);
// Multiplies every pixel's colour by a fractal-noise grain of the given strength.
void addGrain(Image& image, float scale, float strength, std::uint32_t seed, bool tiles = true);

}  // namespace arttool
