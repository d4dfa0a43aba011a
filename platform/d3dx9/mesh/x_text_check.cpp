#include "mesh/x_text_check.h"

#include <array>
#include <cstring>
#include <vector>

#include "mesh/x_tokens.h"

namespace d3dx9 {
namespace {

// The importer follows nested blocks by recursion; far deeper than any frame hierarchy.
constexpr size_t kMostDepth = 256;

// Walks the tokens once; a count is held against the numbers the whole file has left after
// it, counted by a first pass.
class Checker {
public:
    Checker(const XTokenizer& tokens, unsigned long long numbers)
        : tokens_(tokens), numbersLeft_(numbers) {}

    bool run() {
        XToken token;
        while (take(token)) {
            switch (token.kind) {
                case XToken::Kind::end:
                    return true;
                case XToken::Kind::open:
                    if (!open(Block::Kind::other)) {
                        return false;
                    }
                    break;
                case XToken::Kind::close:
                    if (!close()) {
                        return false;
                    }
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
    struct Block {
        enum class Kind { other, mesh, materialList };
        Kind kind = Kind::other;
        long long vertices = 0;      // a mesh's
        bool needsMaterial = false;  // a material list's, when it has face indices
        unsigned long long children = 0;
    };

    bool take(XToken& token) {
        if (ahead_ > 0) {
            token = lookahead_[0];
            lookahead_[0] = lookahead_[1];
            --ahead_;
        } else if (!tokens_.next(token)) {
            return false;
        }
        if (token.kind == XToken::Kind::number) {
            --numbersLeft_;
        }
        return true;
    }

    // The token `i` places ahead (0 or 1), not yet taken.
    bool peek(size_t i, XToken& token) {
        while (ahead_ <= i) {
            if (!tokens_.next(lookahead_[ahead_])) {
                return false;
            }
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
        if (name == "Mesh") {
            return open(Block::Kind::mesh) && mesh();
        }
        if (!open(name == "MeshMaterialList" ? Block::Kind::materialList : Block::Kind::other)) {
            return false;
        }
        if (name == "MeshNormals") {
            long long normals = 0;
            return count(3, normals) && numbers(3 * normals) && faces(normals);
        }
        if (name == "MeshTextureCoords") {
            long long n = 0;
            return count(2, n) && numbers(2 * n);
        }
        if (name == "MeshVertexColors") {
            long long n = 0;
            return count(5, n) && numbers(5 * n);
        }
        if (name == "MeshMaterialList") {
            long long materials = 0;
            long long indices = 0;
            if (!count(0, materials) || !count(1, indices) || !numbers(indices)) {
                return false;
            }
            blocks_.back().needsMaterial = indices > 0;
            return true;
        }
        if (name == "SkinWeights") {
            return skinWeights();
        }
        if (name == "AnimationKey") {
            return animationKey();
        }
        return true;
    }

    bool open(Block::Kind kind) {
        if (blocks_.size() >= kMostDepth) {
            return false;
        }
        if (!blocks_.empty()) {
            ++blocks_.back().children;
        }
        blocks_.push_back(Block{kind});
        return true;
    }

    bool close() {
        if (blocks_.empty()) {
            return true;  // the importer reports a stray brace itself
        }
        const Block block = blocks_.back();
        blocks_.pop_back();
        // The importer picks each face's material from the list's own materials.
        return !(block.needsMaterial && block.children == 0);
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

    bool numbers(long long n) {
        XToken token;
        for (long long i = 0; i < n; ++i) {
            if (!take(token) || token.kind != XToken::Kind::number) {
                return false;
            }
        }
        return true;
    }

    // `n` whole numbers, each below `limit`.
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
            // A face of no corners is taken for a polygon and trips the importer's triangulation.
            long long k = 0;
            if (!count(1, k) || k == 0 || !indices(k, corners)) {
                return false;
            }
        }
        return true;
    }

    bool mesh() {
        long long vertices = 0;
        if (!count(3, vertices) || !numbers(3 * vertices)) {
            return false;
        }
        blocks_.back().vertices = vertices;
        return faces(vertices);
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
        long long vertices = -1;
        for (auto b = blocks_.rbegin(); b != blocks_.rend() && vertices < 0; ++b) {
            vertices = b->kind == Block::Kind::mesh ? b->vertices : -1;
        }
        long long weights = 0;
        return count(2, weights) &&
               (vertices < 0 ? numbers(weights) : indices(weights, vertices)) && numbers(weights);
    }

    // The key type, then keys of a time and a counted list of values.
    bool animationKey() {
        long long keys = 0;
        if (!numbers(1) || !count(2, keys)) {
            return false;
        }
        for (long long k = 0; k < keys; ++k) {
            long long values = 0;
            if (!numbers(1) || !count(1, values) || !numbers(values)) {
                return false;
            }
        }
        return true;
    }

    XTokenizer tokens_;
    unsigned long long numbersLeft_;
    std::array<XToken, 2> lookahead_;
    size_t ahead_ = 0;
    std::vector<Block> blocks_;
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
    return Checker(tokens, numbers).run();
}

}  // namespace d3dx9
