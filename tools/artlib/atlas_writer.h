// Texture atlas files (".tai"): one line per image, "name file u v w h", the file without
// its extension.
#pragma once

#include <string>
#include <vector>

namespace artlib {

struct AtlasLine {
    std::string name;
    std::string file;
    float u = 0.0f;
    float v = 0.0f;
    float w = 0.0f;
    float h = 0.0f;
};

// Every line ends with a line feed: the reader drops an unterminated last line.
std::string atlasText(const std::vector<AtlasLine>& lines,
                      const std::string& comment = std::string());

}  // namespace artlib
