// The textured, coloured quads of the visual effects, collected during a frame and drawn
// once: camera-facing billboards (a centre and a size) and free quads (a unit square placed
// by a matrix). Quads are kept in buckets of one render state and texture and drawn bucket by
// bucket in chunks of 64 through one quad renderer.
//
// Per frame: clear, any number of addBillboard / addQuad, one render. Records stay queued
// until clear, so a render without a clear draws them again.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/resource.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/device/listener_registration.h"
#include "engine/render/quad/particle_quad_renderer.h"
#include "engine/render/quad/quad_vertices.h"

namespace kesh {

// The render state of a quad. Bits not named here are not drawn differently, but they
// still keep quads in buckets of their own.
enum QuadStateFlags : std::uint32_t {
    QuadAlphaBlend = 0x1,  // source alpha over the inverse source alpha
    QuadAdditive = 0x2,    // source alpha added; only without QuadAlphaBlend
    QuadDepthTest = 0x100,
    QuadDepthWrite = 0x200,
    QuadNoCull = 0x400,  // else counter-clockwise culling
};

// A bucket's key, ordered by texture name, then by flags.
struct QuadKey {
    std::uint32_t flags = 0;
    std::string texture;
};
bool operator<(const QuadKey& a, const QuadKey& b);

// A camera-facing quad: its width runs along the camera's right axis, its height along its
// up axis. The texture is the bucket's.
struct BillboardRecord {
    float position[3];
    float size[2];
    std::uint32_t colour;  // ARGB
};

// The unit square from -0.5 to 0.5 in the matrix's own x and y. The texture is the bucket's.
struct QuadRecord {
    D3DXMATRIX world;
    std::uint32_t colour;  // ARGB
};

// Quads of one key. The texture's identifier is kept with them, so that a draw can fetch it
// from the cache without making one.
template <class Record>
struct QuadBucket {
    ResourceId texture;
    std::vector<Record> records;
};

class QuadBatcher {
public:
    static constexpr UINT kChunkQuads = 64;

    // Throws when the renderer's buffers cannot be made on a live device.
    explicit QuadBatcher(DxDevice* device);
    QuadBatcher(const QuadBatcher&) = delete;
    QuadBatcher& operator=(const QuadBatcher&) = delete;

    // texture: a name for the texture cache; flags: QuadStateFlags.
    void addBillboard(const std::string& texture, const float position[3], const float size[2],
                      std::uint32_t colour, std::uint32_t flags);
    void addQuad(const std::string& texture, const D3DXMATRIX* world, std::uint32_t colour,
                 std::uint32_t flags);

    // Draws every queued billboard, then every queued quad, bucket by bucket in key order,
    // with the effect's parameters "matrix_world_view_projection", "tex_0" and the state
    // parameters set from each bucket's flags. The textures come from the texture cache.
    // Throws when a chunk cannot be written, the effect cannot run, or there is no texture
    // cache to draw a non-empty bucket with.
    void render(const CameraView& camera, ID3DXEffect* effect);
    // Empties every bucket; the buckets and their storage stay for the next frame.
    void clear();

    using BillboardBuckets = std::map<QuadKey, QuadBucket<BillboardRecord>, std::less<>>;
    using QuadBuckets = std::map<QuadKey, QuadBucket<QuadRecord>, std::less<>>;
    const BillboardBuckets& billboardBuckets() const { return billboards; }
    const QuadBuckets& quadBuckets() const { return quads; }
    const particle_quad_renderer<QuadVertex>& quadRenderer() const { return *renderer; }

private:
    template <class Record, class Write>
    void flush(const std::vector<Record>& records, ID3DXEffect* effect, Write write);

    std::unique_ptr<particle_quad_renderer<QuadVertex>> renderer;
    ListenerRegistration registration;  // ends before the renderer goes
    BillboardBuckets billboards;
    QuadBuckets quads;
};

// Sets the effect's state parameters for a bucket's flags: "zTest", "zWrite",
// "alphaBlendEnable", "cullMode", and when blending is on "srcBlend" and "dstBlend" (which
// otherwise keep their values).
void applyQuadStateFlags(ID3DXEffect* effect, std::uint32_t flags);

}  // namespace kesh
