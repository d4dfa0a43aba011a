// The art folder being written: every generator hands its files over through this, so the
// folder's layout (texture folder, both texture formats) lives in one place.
#pragma once

#include <string>

#include "tools/artlib/bytes.h"
#include "tools/artlib/dds_writer.h"
#include "tools/artlib/image.h"

namespace arttool {

class ArtOutput {
public:
    // root: the art folder; pictures: where pictures for people to look at go.
    ArtOutput(std::string root, std::string pictures);

    void write(const std::string& relativePath, const artlib::Bytes& bytes) const;
    void write(const std::string& relativePath, const std::string& text) const;
    // A texture below "texture/hi/", name without extension, in ".dds" and ".tga".
    void writeTexture(const std::string& name, const artlib::Image& image,
                      artlib::DdsFormat format) const;
    // A PNG kept beside the build for people to look at.
    void writePicture(const std::string& fileName, const artlib::Image& image) const;

    const std::string& root() const { return root_; }

private:
    std::string root_;
    std::string pictures_;
};

}  // namespace arttool
