#include "engine/render/quad/quad_batcher.h"

#include <algorithm>

#include "engine/core/errors.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {
namespace {

// A key to look a bucket up by, without copying the texture name.
struct QuadKeyRef {
    std::uint32_t flags;
    const std::string& texture;
};

template <class A, class B>
bool keyLess(const A& a, const B& b) {
    const int order = a.texture.compare(b.texture);
    return order < 0 || (order == 0 && a.flags < b.flags);
}

bool operator<(const QuadKey& a, const QuadKeyRef& b) {
    return keyLess(a, b);
}
bool operator<(const QuadKeyRef& a, const QuadKey& b) {
    return keyLess(a, b);
}

// The unit square's corners in vertex order, with their texture coordinates; the index
// pattern draws them as the triangles 0-1-2 and 0-2-3.
struct Corner {
    float x, y, u, v;
};
constexpr Corner kCorners[4] = {
    {-0.5f, 0.5f, 0.0f, 0.0f},
    {0.5f, 0.5f, 1.0f, 0.0f},
    {0.5f, -0.5f, 1.0f, 1.0f},
    {-0.5f, -0.5f, 0.0f, 1.0f},
};

constexpr std::size_t kBucketReserve = 64;

template <class Buckets>
auto& bucketFor(Buckets& buckets, const std::string& texture, std::uint32_t flags) {
    auto found = buckets.find(QuadKeyRef{flags, texture});
    if (found == buckets.end()) {
        found = buckets.emplace(QuadKey{flags, texture}, typename Buckets::mapped_type{}).first;
        found->second.texture = ResourceId(texture);
        found->second.records.reserve(kBucketReserve);
    }
    return found->second.records;
}

// The billboard lies in the camera's view plane through its centre.
void writeBillboard(const BillboardRecord& record, const D3DXVECTOR3& right, const D3DXVECTOR3& up,
                    QuadVertex* out) {
    for (const Corner& corner : kCorners) {
        const float across = corner.x * record.size[0];
        const float along = corner.y * record.size[1];
        *out++ = QuadVertex{record.position[0] + across * right.x + along * up.x,
                            record.position[1] + across * right.y + along * up.y,
                            record.position[2] + across * right.z + along * up.z,
                            record.colour,
                            corner.u,
                            corner.v};
    }
}

// The corner (x, y, 0, 1) as a row vector times the matrix.
void writeQuad(const QuadRecord& record, QuadVertex* out) {
    const D3DXMATRIX& m = record.world;
    for (const Corner& corner : kCorners) {
        *out++ = QuadVertex{corner.x * m._11 + corner.y * m._21 + m._41,
                            corner.x * m._12 + corner.y * m._22 + m._42,
                            corner.x * m._13 + corner.y * m._23 + m._43,
                            record.colour,
                            corner.u,
                            corner.v};
    }
}

}  // namespace

bool operator<(const QuadKey& a, const QuadKey& b) {
    return keyLess(a, b);
}

void applyQuadStateFlags(ID3DXEffect* effect, std::uint32_t flags) {
    const fx::Blending blending = (flags & QuadAlphaBlend) != 0 ? fx::Blending::AlphaBlended
                                  : (flags & QuadAdditive) != 0 ? fx::Blending::Additive
                                                                : fx::Blending::Opaque;
    fx::setDepthAndBlending(effect, (flags & QuadDepthTest) != 0, (flags & QuadDepthWrite) != 0,
                            blending);
    effect->SetInt("cullMode", (flags & QuadNoCull) != 0 ? D3DCULL_NONE : D3DCULL_CCW);
}

QuadBatcher::QuadBatcher(DxDevice* dxDevice)
    : renderer(std::make_unique<particle_quad_renderer<QuadVertex>>(dxDevice, kChunkQuads)),
      registration(dxDevice, renderer.get()) {}

void QuadBatcher::addBillboard(const std::string& texture, const float position[3],
                               const float size[2], std::uint32_t colour, std::uint32_t flags) {
    bucketFor(billboards, texture, flags)
        .push_back(
            BillboardRecord{{position[0], position[1], position[2]}, {size[0], size[1]}, colour});
}

void QuadBatcher::addQuad(const std::string& texture, const D3DXMATRIX* world, std::uint32_t colour,
                          std::uint32_t flags) {
    bucketFor(quads, texture, flags).push_back(QuadRecord{*world, colour});
}

void QuadBatcher::clear() {
    for (auto& bucket : billboards) {
        bucket.second.records.clear();
    }
    for (auto& bucket : quads) {
        bucket.second.records.clear();
    }
}

template <class Record, class Write>
void QuadBatcher::flush(const std::vector<Record>& records, ID3DXEffect* effect, Write write) {
    const std::size_t count = records.size();
    for (std::size_t start = 0; start < count;) {
        const UINT chunk = static_cast<UINT>(std::min<std::size_t>(kChunkQuads, count - start));
        QuadVertex* vertices = renderer->lock(chunk);
        for (UINT i = 0; i < chunk; ++i) {
            write(records[start + i], vertices + 4 * i);
        }
        renderer->unlock();
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        while (pass.current < pass.count) {
            renderer->draw(chunk);
            pass.next();
        }
        pass.end();
        start += chunk;
    }
}

void QuadBatcher::render(const CameraView& camera, ID3DXEffect* effect) {
    effect->SetMatrix(fx::kWorldViewProjection, &camera.viewProjection);
    const D3DXVECTOR3 right(camera.camera._11, camera.camera._12, camera.camera._13);
    const D3DXVECTOR3 up(camera.camera._21, camera.camera._22, camera.camera._23);

    // Emptied buckets are passed over: they would only fetch a texture and run the passes.
    auto prepare = [effect](const QuadKey& key, const ResourceId& texture) {
        if (theTextureCache == nullptr) {
            throwRuntimeError(L"QuadBatcher::render: no texture cache");
        }
        applyQuadStateFlags(effect, key.flags);
        effect->SetTexture(fx::kTexture0, theTextureCache->fetch(texture));
    };
    for (const auto& [key, bucket] : billboards) {
        if (!bucket.records.empty()) {
            prepare(key, bucket.texture);
            flush(bucket.records, effect, [&](const BillboardRecord& record, QuadVertex* out) {
                writeBillboard(record, right, up, out);
            });
        }
    }
    for (const auto& [key, bucket] : quads) {
        if (!bucket.records.empty()) {
            prepare(key, bucket.texture);
            flush(bucket.records, effect, writeQuad);
        }
    }
}

}  // namespace kesh
