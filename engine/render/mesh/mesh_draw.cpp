#include "engine/render/mesh/mesh_draw.h"

#include "engine/core/errors.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {

namespace {

// Binds the mesh's buffers for the ranges' draws and leaves them unbound, also when a draw
// throws, so that no binding keeps a released mesh alive.
class RangeBinding {
public:
    RangeBinding(const MeshInfo::Buffers& buffers, MeshDrawFailures failures)
        : buffers(buffers), failures(failures) {
        IDirect3DDevice9* device = buffers.device.get();
        bound(device->SetIndices(buffers.indices.get()), L"Failed to set index buffer");
        bound(device->SetVertexDeclaration(buffers.declaration.get()),
              L"Failed to set vertex declaration");
        bound(device->SetStreamSource(0, buffers.vertices.get(), 0, buffers.stride),
              L"Failed to set stream source");
    }
    ~RangeBinding() { unbind(); }
    RangeBinding(const RangeBinding&) = delete;
    RangeBinding& operator=(const RangeBinding&) = delete;

    void draw(const D3DXATTRIBUTERANGE& range) const {
        if (range.FaceCount == 0) {
            return;
        }
        const HRESULT result = buffers.device->DrawIndexedPrimitive(
            D3DPT_TRIANGLELIST, 0, range.VertexStart, range.VertexCount, range.FaceStart * 3,
            range.FaceCount);
        if (FAILED(result)) {
            throwDxError(result, failures == MeshDrawFailures::deviceCall
                                     ? L"Failed to draw indexed primitive"
                                     : L"Failed to render mesh");
        }
    }

private:
    void unbind() const {
        buffers.device->SetIndices(nullptr);
        buffers.device->SetStreamSource(0, nullptr, 0, 0);
    }

    // A mesh object's draw leaves a failed binding to show in the draw itself.
    void bound(HRESULT result, const wchar_t* failure) const {
        if (FAILED(result) && failures == MeshDrawFailures::deviceCall) {
            unbind();
            throwDxError(result, failure);
        }
    }

    const MeshInfo::Buffers& buffers;
    MeshDrawFailures failures;
};

// Unsets "tex_0" however the draw ends: the effect would otherwise hold the texture.
struct TextureRelease {
    ~TextureRelease() { effect->SetTexture(fx::kTexture0, nullptr); }
    ID3DXEffect* effect;
};

void drawAllRanges(const MeshInfo& info, ID3DXEffect* effect, const RangeBinding& binding) {
    for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count; pass.next()) {
        for (const D3DXATTRIBUTERANGE& range : info.attributes) {
            binding.draw(range);
        }
    }
}

void drawEachWithItsMaterial(const MeshInfo& info, ID3DXEffect* effect,
                             const RangeBinding& binding) {
    for (std::size_t i = 0; i < info.attributes.size(); ++i) {
        // Paired by material, not by position: a material without faces has no range.
        const int material = info.textureOfRange(i);
        if (material < 0) {
            continue;
        }
        effect->SetTexture(fx::kTexture0, theTextureCache->fetch(info.textures[material]));
        for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count;
             pass.next()) {
            binding.draw(info.attributes[i]);
        }
    }
}

}  // namespace

void drawMeshInfo(const MeshInfo& info, ID3DXEffect* effect, const D3DXMATRIX& world,
                  const D3DXMATRIX& viewProjection, const MeshTextures& textures,
                  MeshDrawFailures failures) {
    const D3DXMATRIX worldViewProjection = world * viewProjection;
    effect->SetMatrix(fx::kWorldViewProjection, &worldViewProjection);
    if (textures.lightmap) {
        effect->SetTexture(fx::kTexture1, textures.lightmap);
    }
    const TextureRelease release{effect};
    const RangeBinding binding(info.buffers, failures);
    switch (textures.source) {
        case MeshTextures::Source::OwnMaterial:
            drawEachWithItsMaterial(info, effect, binding);
            return;
        case MeshTextures::Source::FirstMaterial:
            effect->SetTexture(fx::kTexture0, info.textures.empty()
                                                  ? nullptr
                                                  : theTextureCache->fetch(info.textures[0]));
            break;
        case MeshTextures::Source::Given:
            effect->SetTexture(fx::kTexture0, textures.texture);
            break;
    }
    drawAllRanges(info, effect, binding);
}

void drawMeshRanges(const MeshInfo& info, ID3DXEffect* effect) {
    const TextureRelease release{effect};
    drawAllRanges(info, effect, RangeBinding(info.buffers, MeshDrawFailures::renderMesh));
}

}  // namespace kesh
