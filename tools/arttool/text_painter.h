// Words drawn into pictures through FreeType, for the button and screen captions.
#pragma once

#include <memory>
#include <string>

#include "tools/artlib/image.h"

namespace arttool {

class TextPainter {
public:
    // Throws std::runtime_error when the font cannot be opened.
    explicit TextPainter(const std::string& fontFile);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Width in pixels of the text at the pixel size.
    float measure(const std::string& text, int pixelSize) const;
    // Draws the text with its baseline at y, starting at x.
    void draw(artlib::Image& image, const std::string& text, int pixelSize, float x, float y,
              artlib::Argb colour) const;
    // Centred horizontally on cx, the capitals' middle on cy.
    void drawCentred(artlib::Image& image, const std::string& text, int pixelSize, float cx,
                     float cy, artlib::Argb colour) const;

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

}  // namespace arttool
