#include "mesh/x_text_check.h"

#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "mesh/x_tokens.h"

namespace d3dx9 {
namespace {

// The importer follows nested blocks by recursion; far deeper than any frame hierarchy.
constexpr size_t kMostDepth = 256;

// What the importer holds for a data object beyond its numbers, about twice what it was
// measured to take: an empty "Frame {}" of 8 bytes costs it 1.3 KB, a Material 7 KB.
size_t objectCost(std::string_view kind) {
    if (kind == "Material") {
        return 16384;
    }
    if (kind == "Mesh") {
        return 4096;
    }
    if (kind == "Frame" || kind == "Animation" || kind == "AnimationSet" || kind == "SkinWeights") {
        return 2560;
    }
    return 512;
}

// The objects of a file may cost the importer this much, plus a share of every byte: some
// thousands of frames, meshes and materials in any file, more in a large one, never the
// gigabytes a file of empty blocks would ask for.
constexpr unsigned long long kObjectBudget = 48ull << 20;
constexpr unsigned long long kObjectBudgetPerByte = 16;

// How the importer reads the inside of a block. It reads the blocks it knows by name in a
// loop that takes anything else for the start of an object it skips: it then reads on to the
// next "{" whatever comes between, closing braces too, and the block it is in no longer ends
// where the braces say. So where the importer reads by name only names may stand, and the
// blocks it skips are followed as it follows them.
enum class Body {
    top,
    frame,
    mesh,
    materialList,
    material,
    animationSet,
    animation,
    fixed,    // read by the importer as a record of its own; a surplus fails there
    skipped,  // unknown to the importer: it counts the braces to the end
};

// The body of a `kind` block opened inside `parent`, as the importer reads it.
Body bodyOf(Body parent, std::string_view kind) {
    struct Known {
        Body parent;
        std::string_view kind;
        Body body;
    };
    static const Known known[] = {
        {Body::top, "Frame", Body::frame},
        {Body::top, "Mesh", Body::mesh},
        {Body::top, "Material", Body::material},
        {Body::top, "AnimationSet", Body::animationSet},
        {Body::top, "AnimTicksPerSecond", Body::fixed},
        {Body::frame, "Frame", Body::frame},
        {Body::frame, "Mesh", Body::mesh},
        {Body::frame, "FrameTransformMatrix", Body::fixed},
        {Body::mesh, "MeshNormals", Body::fixed},
        {Body::mesh, "MeshTextureCoords", Body::fixed},
        {Body::mesh, "MeshVertexColors", Body::fixed},
        {Body::mesh, "MeshMaterialList", Body::materialList},
        {Body::mesh, "XSkinMeshHeader", Body::fixed},
        {Body::mesh, "SkinWeights", Body::fixed},
        {Body::materialList, "Material", Body::material},
        {Body::material, "TextureFilename", Body::fixed},
        {Body::material, "TextureFileName", Body::fixed},
        {Body::material, "NormalmapFilename", Body::fixed},
        {Body::material, "NormalmapFileName", Body::fixed},
        {Body::animationSet, "Animation", Body::animation},
        {Body::animation, "AnimationKey", Body::fixed},
    };
    for (const Known& k : known) {
        if (k.parent == parent && k.kind == kind) {
            return k.body;
        }
    }
    return Body::skipped;
}

bool readsByName(Body body) {
    return body != Body::fixed && body != Body::skipped;
}

// Walks the tokens once; a count is held against the numbers the whole file has left after
// it, counted by a first pass.
class Checker {
public:
    Checker(const XTokenizer& tokens, unsigned long long numbers, bool binary, size_t bytes)
        : tokens_(tokens),
          numbersLeft_(numbers),
          binary_(binary),
          budgetLeft_(kObjectBudget + kObjectBudgetPerByte * bytes) {
        blocks_.push_back({Body::top});
    }

    bool run() {
        XToken token;
        while (takeAny(token)) {
            const Body body = blocks_.back().body;
            switch (token.kind) {
                case XToken::Kind::end:
                    return true;
                case XToken::Kind::open:
                    if (body == Body::materialList || body == Body::animation) {
                        if (!reference()) {
                            return false;
                        }
                    } else if (readsByName(body) || !open(Body::skipped, false)) {
                        return false;
                    }
                    break;
                case XToken::Kind::close:
                    close();
                    break;
                case XToken::Kind::word: {
                    bool object = false;
                    if (!word(token, object) || (readsByName(body) && !object)) {
                        return false;
                    }
                    break;
                }
                case XToken::Kind::separator:
                    if (readsByName(body) && !(body == Body::materialList && token.text == ";")) {
                        return false;
                    }
                    break;
                case XToken::Kind::string:
                    if (readsByName(body) ||
                        (body == Body::skipped && !binary_ && !skippedStringPlain(token.text))) {
                        return false;
                    }
                    break;
                case XToken::Kind::number:
                    if (readsByName(body)) {
                        return false;
                    }
                    break;
            }
        }
        return false;
    }

private:
    struct Block {
        Body body;
        long long faces = 0;         // a mesh's
        bool faceMaterials = false;  // a mesh's: a material list has given its faces theirs
    };

    struct Mesh {
        size_t depth;
        long long vertices;
    };

    // The next token, separators included, not yet counted.
    bool pull(XToken& token) {
        if (ahead_ > 0) {
            token = lookahead_[0];
            lookahead_[0] = lookahead_[1];
            --ahead_;
            return true;
        }
        return tokens_.next(token);
    }

    // The next token, separators included.
    bool takeAny(XToken& token) {
        if (!pull(token)) {
            return false;
        }
        if (token.kind == XToken::Kind::number) {
            --numbersLeft_;
        }
        return true;
    }

    // The next token but a separator.
    bool take(XToken& token) {
        do {
            if (!takeAny(token)) {
                return false;
            }
        } while (token.kind == XToken::Kind::separator);
        return true;
    }

    // The token but a separator `i` places ahead (0 or 1), not yet taken.
    bool peek(size_t i, XToken& token) {
        while (ahead_ <= i) {
            do {
                if (!tokens_.next(lookahead_[ahead_])) {
                    return false;
                }
            } while (lookahead_[ahead_].kind == XToken::Kind::separator);
            ++ahead_;
        }
        token = lookahead_[i];
        return true;
    }

    // Up to `n` separators, as many as the importer's text reader takes after the last number
    // of a record: it wants one after each number and takes one more where a list may end.
    bool skipSeparators(int n) {
        if (binary_) {
            return true;
        }
        XToken token;
        for (int i = 0; i < n; ++i) {
            if (!tokens_.next(token)) {
                return false;
            }
            if (token.kind != XToken::Kind::separator) {
                lookahead_[ahead_++] = token;
                return true;
            }
        }
        return true;
    }

    // A data object is its kind, an optional name, then its block; `object` tells whether
    // the word began one.
    bool word(const XToken& kind, bool& object) {
        object = false;
        const Body parent = blocks_.back().body;
        if (kind.text == "template" && parent == Body::top) {
            object = true;
            return skipTemplate();
        }
        XToken first;
        XToken second;
        if (!peek(0, first)) {
            return false;
        }
        if (first.kind != XToken::Kind::open) {
            if (first.kind == XToken::Kind::close || first.kind == XToken::Kind::end) {
                return true;
            }
            if (!peek(1, second)) {
                return false;
            }
            if (second.kind != XToken::Kind::open) {
                return true;
            }
            take(first);  // the name: whatever token stands there
        }
        take(first);  // the brace
        object = true;
        const std::string_view name = kind.text;
        const Body body = bodyOf(parent, name);
        const size_t cost = objectCost(name);
        if (cost > budgetLeft_ || !open(body, name == "Mesh")) {
            return false;
        }
        budgetLeft_ -= cost;
        if (name == "Mesh") {
            long long vertices = 0;
            long long faceCount = 0;
            if (!count(3, vertices) || !floats(3 * vertices) || !faces(vertices, faceCount)) {
                return false;
            }
            meshes_.back().vertices = vertices;
            blocks_.back().faces = faceCount;
            return skipSeparators(faceCount > 0 ? 2 : 1);
        }
        if (body == Body::material) {
            // Colour, power, specular and emissive colours.
            return floats(11) && skipSeparators(2);
        }
        if (name == "MeshNormals") {
            long long normals = 0;
            long long faceCount = 0;
            return count(3, normals) && floats(3 * normals) && faces(normals, faceCount);
        }
        if (name == "MeshTextureCoords") {
            long long n = 0;
            return count(2, n) && floats(2 * n);
        }
        if (name == "MeshVertexColors") {
            long long n = 0;
            if (!count(5, n)) {
                return false;
            }
            for (long long i = 0; i < n; ++i) {
                if (!indices(1, std::numeric_limits<long long>::max()) || !floats(4)) {
                    return false;
                }
            }
            return true;
        }
        if (name == "MeshMaterialList") {
            return materialList();
        }
        if (name == "SkinWeights") {
            return skinWeights();
        }
        if (name == "AnimationKey") {
            return animationKey();
        }
        return true;
    }

    bool open(Body body, bool mesh) {
        if (blocks_.size() > kMostDepth) {
            return false;
        }
        blocks_.push_back({body});
        if (mesh) {
            meshes_.push_back({blocks_.size(), 0});
        }
        return true;
    }

    void close() {
        if (blocks_.size() == 1) {
            return;  // the importer passes over a stray one at the top
        }
        if (!meshes_.empty() && meshes_.back().depth == blocks_.size()) {
            meshes_.pop_back();
        }
        blocks_.pop_back();
    }

    // The importer ends a template at its first closing brace.
    bool skipTemplate() {
        XToken token;
        while (take(token) && token.kind != XToken::Kind::end) {
            if (token.kind == XToken::Kind::close) {
                return true;
            }
        }
        return false;
    }

    // "{ name }" in a material list or an animation: a material or a frame by name. The
    // importer takes whatever token follows the brace for the name.
    bool reference() {
        XToken name;
        XToken end;
        return takeAny(name) && name.kind != XToken::Kind::end && takeAny(end) &&
               end.kind == XToken::Kind::close;
    }

    // Where the importer skips a block it counts every brace of the text, in strings too, and
    // takes "#" or "//" for the start of a comment: a string holding either would move the
    // block's end.
    static bool skippedStringPlain(std::string_view text) {
        return text.find_first_of("{}#") == std::string_view::npos &&
               text.find("//") == std::string_view::npos;
    }

    // A count that `perItem` numbers each, still to come, can fill.
    bool count(long long perItem, long long& value) {
        XToken token;
        if (!take(token) || token.kind != XToken::Kind::number || !token.integer ||
            token.value < 0) {
            return false;
        }
        value = token.value;
        return static_cast<unsigned long long>(value) <= numbersLeft_ &&
               static_cast<unsigned long long>(value * perItem) <= numbersLeft_;
    }

    // The binary form's floats come from float lists: the importer reads a float's own
    // width, which an integer's need not be.
    bool floats(long long n) {
        XToken token;
        for (long long i = 0; i < n; ++i) {
            if (!take(token) || token.kind != XToken::Kind::number ||
                (binary_ && !token.floatBits)) {
                return false;
            }
        }
        return true;
    }

    // `n` whole numbers, each at least 0 and below `limit`.
    bool indices(long long n, long long limit) {
        XToken token;
        for (long long i = 0; i < n; ++i) {
            if (!take(token) || token.kind != XToken::Kind::number || !token.integer ||
                token.value < 0 || token.value >= limit) {
                return false;
            }
        }
        return true;
    }

    bool faces(long long corners, long long& n) {
        if (!count(1, n)) {
            return false;
        }
        for (long long f = 0; f < n; ++f) {
            // A face of no corners is taken for a polygon and trips the importer's
            // triangulation.
            long long k = 0;
            if (!count(1, k) || k == 0 || !indices(k, corners)) {
                return false;
            }
        }
        return true;
    }

    // The importer picks each face's material from the list's own materials; the first
    // thing after the face indices must be one, inline or a reference. Anything else it
    // skips as an unknown object, up to and with the next block, which may be the material.
    //
    // It also appends the list's face indices to its mesh's, and one index stands for every
    // face; it then reads a material for each of those indices from the mesh's faces, so
    // more indices than faces read past them (a second list in one mesh makes that many).
    bool materialList() {
        long long materials = 0;
        long long indices = 0;
        if (!count(0, materials) || !count(1, indices) ||
            !this->indices(indices, std::numeric_limits<long long>::max()) || !skipSeparators(1)) {
            return false;
        }
        if (blocks_.back().body == Body::materialList) {
            Block& mesh = blocks_[blocks_.size() - 2];
            if (indices > mesh.faces || (indices > 0 && mesh.faceMaterials)) {
                return false;
            }
            mesh.faceMaterials = indices > 0;
        }
        XToken next;
        do {
            if (!pull(next)) {
                return false;
            }
        } while (next.kind == XToken::Kind::separator && next.text == ";");
        const bool material = next.kind == XToken::Kind::open ||
                              (next.kind == XToken::Kind::word && next.text == "Material");
        lookahead_[ahead_++] = next;
        return indices == 0 || material;
    }

    // The bone's name, its weights' vertex indices and weights, then its offset matrix.
    bool skinWeights() {
        XToken name;
        if (!peek(0, name)) {
            return false;
        }
        if (name.kind == XToken::Kind::string) {
            take(name);
        }
        long long weights = 0;
        if (!count(2, weights)) {
            return false;
        }
        const bool inMesh = !meshes_.empty();
        return (inMesh ? indices(weights, meshes_.back().vertices)
                       : indices(weights, std::numeric_limits<long long>::max())) &&
               floats(weights);
    }

    // The key type, then keys of a time and a counted list of values.
    bool animationKey() {
        long long keys = 0;
        if (!indices(1, std::numeric_limits<long long>::max()) || !count(2, keys)) {
            return false;
        }
        for (long long k = 0; k < keys; ++k) {
            long long values = 0;
            if (!indices(1, std::numeric_limits<long long>::max()) || !count(1, values) ||
                !floats(values)) {
                return false;
            }
        }
        return true;
    }

    XTokenizer tokens_;
    unsigned long long numbersLeft_;
    bool binary_;
    unsigned long long budgetLeft_;
    std::array<XToken, 2> lookahead_;
    size_t ahead_ = 0;
    std::vector<Block> blocks_;  // the open blocks, the file's top first
    std::vector<Mesh> meshes_;   // the meshes whose blocks are open, innermost last
};

}  // namespace

bool xCountsPlausible(const char* data, std::size_t size) {
    // "xof 0303txt 0032": the format, then the size of a binary float.
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0) {
        return true;
    }
    const bool text = std::memcmp(data + 8, "txt ", 4) == 0;
    const bool binary = std::memcmp(data + 8, "bin ", 4) == 0;
    if (!text && !binary) {
        return true;
    }
    const unsigned floatBytes = std::memcmp(data + 12, "0064", 4) == 0 ? 8 : 4;
    // The importer's text reader starts on the line after the header's.
    size_t body = 16;
    while (text && body < size && data[body] != '\n' && data[body] != '\r') {
        ++body;
    }
    body += text && body < size ? 1 : 0;
    const XTokenizer tokens(data + body, size - body, binary, floatBytes);
    unsigned long long numbers = 0;
    XTokenizer counting = tokens;
    XToken token;
    do {
        if (!counting.next(token)) {
            return false;
        }
        numbers += token.kind == XToken::Kind::number ? 1 : 0;
    } while (token.kind != XToken::Kind::end);
    return Checker(tokens, numbers, binary, size).run();
}

}  // namespace d3dx9
