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

// Walks the tokens once; a count is held against the numbers the whole file has left after
// it, counted by a first pass.
class Checker {
public:
    Checker(const XTokenizer& tokens, unsigned long long numbers, bool binary, size_t bytes)
        : tokens_(tokens),
          numbersLeft_(numbers),
          binary_(binary),
          budgetLeft_(kObjectBudget + kObjectBudgetPerByte * bytes) {}

    bool run() {
        XToken token;
        while (take(token)) {
            switch (token.kind) {
                case XToken::Kind::end:
                    return true;
                case XToken::Kind::open:
                    if (!open(false)) {
                        return false;
                    }
                    break;
                case XToken::Kind::close:
                    if (!meshes_.empty() && meshes_.back().depth == depth_) {
                        meshes_.pop_back();
                    }
                    depth_ -= depth_ > 0 ? 1 : 0;
                    break;
                case XToken::Kind::word:
                    if (!word(token)) {
                        return false;
                    }
                    break;
                default:
                    break;
            }
        }
        return false;
    }

private:
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

    // The next token but a separator.
    bool take(XToken& token) {
        do {
            if (!pull(token)) {
                return false;
            }
        } while (token.kind == XToken::Kind::separator);
        if (token.kind == XToken::Kind::number) {
            --numbersLeft_;
        }
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

    // A data object is its kind, an optional name, then its block.
    bool word(const XToken& kind) {
        if (kind.text == "template") {
            return skipTemplate();
        }
        XToken first;
        XToken second;
        if (!peek(0, first)) {
            return false;
        }
        if (first.kind != XToken::Kind::open) {
            if (first.kind != XToken::Kind::word) {
                return true;
            }
            if (!peek(1, second)) {
                return false;
            }
            if (second.kind != XToken::Kind::open) {
                return true;
            }
            take(first);  // the name
        }
        take(first);  // the brace
        const std::string_view name = kind.text;
        const size_t cost = objectCost(name);
        if (cost > budgetLeft_ || !open(name == "Mesh")) {
            return false;
        }
        budgetLeft_ -= cost;
        if (name == "Mesh") {
            long long vertices = 0;
            if (!count(3, vertices) || !floats(3 * vertices)) {
                return false;
            }
            meshes_.back().vertices = vertices;
            return faces(vertices);
        }
        if (name == "MeshNormals") {
            long long normals = 0;
            return count(3, normals) && floats(3 * normals) && faces(normals);
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

    bool open(bool mesh) {
        if (depth_ >= kMostDepth) {
            return false;
        }
        ++depth_;
        if (mesh) {
            meshes_.push_back({depth_, 0});
        }
        return true;
    }

    bool skipTemplate() {
        XToken token;
        int depth = 0;
        while (take(token) && token.kind != XToken::Kind::end) {
            if (token.kind == XToken::Kind::open) {
                ++depth;
            } else if (token.kind == XToken::Kind::close && --depth <= 0) {
                return true;
            }
        }
        return false;
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

    bool faces(long long corners) {
        long long n = 0;
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
    bool materialList() {
        long long materials = 0;
        long long indices = 0;
        if (!count(0, materials) || !count(1, indices) ||
            !this->indices(indices, std::numeric_limits<long long>::max())) {
            return false;
        }
        XToken next;
        do {
            if (!pull(next)) {
                return false;
            }
        } while (next.kind == XToken::Kind::separator && next.text == ";");
        const bool material = next.kind == XToken::Kind::open ||
                              (next.kind == XToken::Kind::word && next.text == "Material");
        lookahead_[0] = next;
        ahead_ = 1;
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
    size_t depth_ = 0;
    std::vector<Mesh> meshes_;  // the meshes whose blocks are open, innermost last
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
    const XTokenizer tokens(data + 16, size - 16, binary, floatBytes);
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
