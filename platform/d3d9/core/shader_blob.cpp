#include "d3d9/shader_blob.h"

#include <cstring>

namespace d3d9 {

namespace {

// Far beyond any real shader; a larger count is taken for damaged words.
constexpr std::uint64_t kMaxWords = 1u << 24;

class Reader {
public:
    Reader(const DWORD* words, std::uint64_t count) : words_(words), count_(count) {}

    bool take(DWORD& value) {
        if (next_ >= count_) {
            return false;
        }
        value = words_[next_++];
        return true;
    }
    bool takeBytes(std::string& text, DWORD length) {
        const std::uint64_t wordsNeeded = (std::uint64_t{length} + 3) / 4;
        if (wordsNeeded > count_ - next_) {
            return false;
        }
        text.assign(reinterpret_cast<const char*>(words_ + next_), length);
        next_ += wordsNeeded;
        return true;
    }
    bool done() const { return next_ == count_; }
    std::uint64_t left() const { return count_ - next_; }
    const DWORD* here() const { return words_ + next_; }
    void skip(std::uint64_t words) { next_ += words; }

private:
    const DWORD* words_;
    std::uint64_t count_;
    std::uint64_t next_ = 0;
};

}  // namespace

std::vector<DWORD> encodeShaderBlob(const ShaderBlob& blob) {
    std::vector<DWORD> words{kShaderBlobMagic, static_cast<DWORD>(blob.kind), 0,
                             static_cast<DWORD>(blob.spirv.size())};
    words.insert(words.end(), blob.spirv.begin(), blob.spirv.end());
    words.push_back(static_cast<DWORD>(blob.uniforms.size()));
    for (const ShaderUniform& uniform : blob.uniforms) {
        words.insert(words.end(), {static_cast<DWORD>(uniform.kind), uniform.registerIndex,
                                   uniform.registerCount, uniform.samplerStage,
                                   static_cast<DWORD>(uniform.name.size())});
        std::vector<DWORD> name((uniform.name.size() + 3) / 4, 0);
        std::memcpy(name.data(), uniform.name.data(), uniform.name.size());
        words.insert(words.end(), name.begin(), name.end());
    }
    words[2] = static_cast<DWORD>(words.size());
    return words;
}

bool decodeShaderBlob(const DWORD* words, ShaderBlob& blob) {
    if (words == nullptr || words[0] != kShaderBlobMagic) {
        return false;
    }
    const DWORD kind = words[1];
    const DWORD total = words[2];
    if ((kind != static_cast<DWORD>(ShaderKind::Vertex) &&
         kind != static_cast<DWORD>(ShaderKind::Pixel)) ||
        total < 5 || total > kMaxWords) {
        return false;
    }
    Reader reader(words, total);
    reader.skip(3);
    ShaderBlob result;
    result.kind = static_cast<ShaderKind>(kind);
    DWORD spirvWords = 0;
    if (!reader.take(spirvWords) || spirvWords > reader.left()) {
        return false;
    }
    result.spirv.assign(reader.here(), reader.here() + spirvWords);
    reader.skip(spirvWords);
    DWORD uniformCount = 0;
    if (!reader.take(uniformCount) || uniformCount > reader.left() / 5) {
        return false;
    }
    for (DWORD i = 0; i < uniformCount; ++i) {
        ShaderUniform uniform;
        DWORD uniformKind = 0;
        DWORD nameLength = 0;
        if (!reader.take(uniformKind) || !reader.take(uniform.registerIndex) ||
            !reader.take(uniform.registerCount) || !reader.take(uniform.samplerStage) ||
            !reader.take(nameLength) || uniformKind > static_cast<DWORD>(ConstantKind::Sampler) ||
            !reader.takeBytes(uniform.name, nameLength)) {
            return false;
        }
        uniform.kind = static_cast<ConstantKind>(uniformKind);
        result.uniforms.push_back(std::move(uniform));
    }
    if (!reader.done()) {
        return false;
    }
    blob = std::move(result);
    return true;
}

}  // namespace d3d9
