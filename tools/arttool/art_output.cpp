#include "tools/arttool/art_output.h"

#include <utility>

#include "tools/artlib/png_writer.h"
#include "tools/artlib/tga_writer.h"

namespace arttool {

ArtOutput::ArtOutput(std::string root, std::string pictures)
    : root_(std::move(root)), pictures_(std::move(pictures)) {}

void ArtOutput::write(const std::string& relativePath, const artlib::Bytes& bytes) const {
    artlib::saveFile(root_ + "/" + relativePath, bytes);
}

void ArtOutput::write(const std::string& relativePath, const std::string& text) const {
    artlib::saveFile(root_ + "/" + relativePath, text);
}

void ArtOutput::writeTexture(const std::string& name, const artlib::Image& image,
                             artlib::DdsFormat format) const {
    write("texture/hi/" + name + ".dds", artlib::ddsBytes(image, format));
    write("texture/hi/" + name + ".tga", artlib::tgaBytes(image));
}

void ArtOutput::writePicture(const std::string& fileName, const artlib::Image& image) const {
    if (!pictures_.empty()) {
        artlib::saveFile(pictures_ + "/" + fileName, artlib::pngBytes(image));
    }
}

}  // namespace arttool
