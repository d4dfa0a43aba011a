#include "engine/render/visual_effects/effect_text.h"

#include <memory>
#include <sstream>

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/render/log_lines.h"

namespace kesh {

namespace {

using boost::log::logDebug;
using boost::log::logWarning;
using effect::BillboardComponentParams;
using effect::EffectParams;
using effect::PlainMeshComponentParams;

// Each value is extracted into a temporary: a failed extraction zeroes its target, and a
// bad value must leave the field as it was.
template <class Value>
void readValue(std::istream& in, Value& field) {
    Value value;
    if (in >> value) {
        field = value;
    }
}

void readValue(std::istream& in, ResourceId& field) {
    std::string word;
    if (in >> word) {
        field = ResourceId(word);
    }
}

void readValue(std::istream& in, D3DXVECTOR2& field) {
    float x, y;
    if (in >> x >> y) {
        field = D3DXVECTOR2(x, y);
    }
}

void readValue(std::istream& in, D3DXCOLOR& field) {
    float r, g, b, a;
    if (in >> r >> g >> b >> a) {
        field = D3DXCOLOR(r, g, b, a);
    }
}

// The component being read and what the text has given of it so far.
class ComponentReader {
public:
    explicit ComponentReader(EffectParams& out) : out(out) {}

    void startComponent(const std::string& directive) {
        finishComponent();
        if (directive == "PlainMesh") {
            section = Section::PlainMesh;
            plainMesh = PlainMeshComponentParams();
        } else if (directive == "Billboard") {
            section = Section::Billboard;
            billboard = BillboardComponentParams();
        } else {
            writeLine(logWarning(), "unknown directive: ", directive);
            section = Section::None;
        }
        writeLine(logDebug(), "start: ", directive, " : ", static_cast<int>(section));
    }

    void finishComponent() {
        if (section == Section::PlainMesh) {
            out.addComponent(plainMesh);
        } else if (section == Section::Billboard) {
            out.addComponent(billboard);
        }
        section = Section::None;
    }

    // A line of one component: the key, blanks, the value.
    void readProperty(const std::string& line) {
        if (section == Section::None) {
            return;
        }
        std::istringstream words(line);
        std::string key;
        words >> key >> std::ws;
        std::string value;
        std::getline(words, value);
        // Every line is read from its own stream, so one bad value fails its field only.
        std::istringstream valueStream(value);
        const bool matched = section == Section::PlainMesh ? plainMeshProperty(key, valueStream)
                                                           : billboardProperty(key, valueStream);
        if (matched) {
            writeLine(logDebug(), "  ", key, " = ", value);
        } else {
            writeLine(logWarning(), "WARNING: property `", key, "' unmatched");
        }
    }

private:
    enum class Section { None = -1, PlainMesh = 1, Billboard = 2 };

    bool plainMeshProperty(const std::string& key, std::istream& value) {
        PlainMeshComponentParams& p = plainMesh;
        if (key == "layer") {
            readValue(value, p.layer);
        } else if (key == "mesh") {
            readValue(value, p.mesh);
        } else if (key == "texture") {
            readValue(value, p.texture);
        } else if (key == "uSpeed") {
            readValue(value, p.uSpeed);
        } else if (key == "vSpeed") {
            readValue(value, p.vSpeed);
        } else if (key == "blendMode") {
            readValue(value, p.blendMode);
            // Checked here once rather than failing every frame the mesh is drawn.
            if (p.blendMode < PlainMeshComponentParams::Opaque ||
                p.blendMode > PlainMeshComponentParams::AlphaBlended) {
                writeLine(logWarning(), "WARNING: property `blendMode' out of range: ", p.blendMode,
                          ", drawn opaque");
                p.blendMode = PlainMeshComponentParams::Opaque;
            }
        } else if (key == "zTest") {
            readValue(value, p.zTest);
        } else if (key == "zWrite") {
            readValue(value, p.zWrite);
        } else {
            return false;
        }
        return true;
    }

    bool billboardProperty(const std::string& key, std::istream& value) {
        BillboardComponentParams& p = billboard;
        if (key == "layer") {
            readValue(value, p.layer);
        } else if (key == "texture") {
            readValue(value, p.texture);
        } else if (key == "size") {
            readValue(value, p.size);
        } else if (key == "orientation") {
            readValue(value, p.orientation);
        } else if (key == "blendMode") {
            readValue(value, p.blendMode);
        } else if (key == "color") {
            readValue(value, p.color);
        } else if (key == "zTest") {
            readValue(value, p.zTest);
        } else if (key == "zWrite") {
            readValue(value, p.zWrite);
        } else if (key == "noCull") {
            readValue(value, p.noCull);
        } else {
            return false;
        }
        return true;
    }

    EffectParams& out;
    Section section = Section::None;
    PlainMeshComponentParams plainMesh;
    BillboardComponentParams billboard;
};

}  // namespace

void parseEffectText(EffectLibrary& library, const std::string& name, std::istream& in) {
    auto params = std::make_unique<EffectParams>();
    ComponentReader reader(*params);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == ':') {
            reader.startComponent(line.substr(1));
        } else {
            reader.readProperty(line);
        }
    }
    if (in.bad() || !in.eof()) {
        throwRuntimeError(L"effect param extraction failed");
    }
    reader.finishComponent();
    library.insert(name, std::move(params));
}

}  // namespace kesh
