#include "tools/artlib/atlas_writer.h"

#include <cstdio>
#include <stdexcept>

namespace artlib {

namespace {

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

bool isWord(const std::string& text) {
    return !text.empty() && text.find_first_of(" \t\r\n") == std::string::npos;
}

}  // namespace

std::string atlasText(const std::vector<AtlasLine>& lines, const std::string& comment) {
    std::string out;
    if (!comment.empty()) {
        out += "# " + comment + "\n";
    }
    for (const AtlasLine& line : lines) {
        if (!isWord(line.name) || !isWord(line.file) || line.name[0] == '#') {
            throw std::invalid_argument("atlas names and files are single words: " + line.name);
        }
        out += line.name + " " + line.file + " " + number(line.u) + " " + number(line.v) + " " +
               number(line.w) + " " + number(line.h) + "\n";
    }
    return out;
}

}  // namespace artlib
